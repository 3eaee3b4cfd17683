#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// Splits text at every separator and gives field n (counting from 0) with white space removed from both
// ends. A text has one field more than it has separators. Returns false, leaving field unchanged, when n
// is not less than the number of fields. The separator must be an ASCII character, which keeps the byte
// scan correct for UTF-8 and single-byte code pages.
bool ExtractField(std::string_view text, char separator, std::size_t n, std::string& field);

}  // namespace tessaly
