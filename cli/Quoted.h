#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// The most characters of a text that a message quotes: a value of 100 KB must not fill the terminal.
inline constexpr std::size_t kMostQuotedCharacters = 60;

// Text between single quotes, as messages show names and values the user typed or a chip held. Longer text
// is cut after kMostQuotedCharacters characters, never inside a UTF-8 sequence, and its full length follows:
// 'abc...' (100000 bytes).
std::string Quoted(std::string_view text);

}  // namespace tessaly
