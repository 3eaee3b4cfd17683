#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// Reads a number as the C conversion "0x%x" matches it at the start of text, but without what "%x" would
// also let through after the prefix (blanks, a sign, a second prefix): a literal "0x" with a lower-case x,
// then hexadecimal digits up to the first other character ("0x1Fz" reads as 0x1F). A number beyond 32
// bits gives 0xFFFFFFFF. Returns false, leaving value unchanged, when no digit follows the prefix.
bool ParseHexNumber(std::string_view text, std::uint32_t& value);

}  // namespace tessaly
