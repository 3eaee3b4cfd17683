#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

// An unsigned decimal number made of digits only (no sign, blank or suffix) that fits in 64 bits;
// nothing for any other text, so that a malformed setting can be ignored.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);

}  // namespace tessaly
