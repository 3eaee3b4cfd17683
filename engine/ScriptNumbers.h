#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ModelTypes.h"

namespace tessaly {

// Every script number is hexadecimal except the decimal spacing of a title entry.
enum class Radix : std::uint32_t { Decimal = 10, Hexadecimal = 16 };

// Digits of the radix only (no sign, prefix or blank); 32-bit arithmetic that wraps; an empty text is 0.
bool ParseNumber(std::string_view text, Radix radix, std::uint32_t& value);

// A decimal floating number at the start of text, as the C "%f" conversion reads it; what follows the
// number is ignored ("2.5x" reads as 2.5).
bool ParseScale(std::string_view text, float& scale);

// address[.bit][-address[.bit]] in hexadecimal. With bits null, any "." fails.
bool ParseLocation(std::string_view text, Location& location, BitRange* bits);

// minimum-maximum, both hexadecimal 32-bit numbers.
bool ParseRange(std::string_view text, std::uint32_t& minimum, std::uint32_t& maximum);

}  // namespace tessaly
