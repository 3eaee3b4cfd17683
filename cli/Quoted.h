#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// text between single quotes, as messages show names and values the user typed. Built by appending: GCC
// 12 at -O3 warns falsely (-Wrestrict) on a one-character literal + a temporary std::string.
inline std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

}  // namespace tessaly
