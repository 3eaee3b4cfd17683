#pragma once

#include <string_view>

#include "text/AsciiText.h"

namespace tessaly {

// The number of separator characters in text plus one; an empty text has one field. The separator is an
// ASCII character, which never occurs inside a UTF-8 multibyte sequence, so a byte search is safe.
int CountFields(std::string_view text, char separator);

// Field index (from 0), trimmed; empty when index is past the last field.
std::string_view GetField(std::string_view text, char separator, int index);

}  // namespace tessaly
