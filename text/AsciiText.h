#pragma once

#include <string_view>

namespace tessaly {

// White space as the C locale knows it: blank, tab, line feed, vertical tab, form feed, carriage return.
bool IsWhiteSpace(char c);

std::string_view TrimWhiteSpace(std::string_view text);

// The value of a hexadecimal digit, either case (decimal digits included); -1 for any other character.
int HexDigitValue(char c);

// Compares ASCII letters without regard to case; every other byte must be equal. Safe for UTF-8 and
// single-byte code pages because no byte of a multibyte sequence is an ASCII letter.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tessaly
