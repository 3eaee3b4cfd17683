#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// Reads a decimal number from the start of text as the C conversion "%d" does: white space, an optional
// sign, then digits up to the first other character ("12ab" reads as 12). A number beyond the 32-bit
// range gives the nearest end of the range. Returns false, leaving value unchanged, when no digit follows.
bool ParseInt(std::string_view text, std::int32_t& value);

}  // namespace tessaly
