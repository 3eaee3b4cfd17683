#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// Why a template failed to load. Codes 1 to 9 come from the parser; the document stores Other after a
// memory collision. The values are stable: reports and callers compare them as numbers.
enum class ParseError : std::uint32_t {
    None = 0,
    TitleNotFound = 1,
    WrongTitleSyntax = 2,
    NameExists = 3,
    BodyEmpty = 4,
    UnsupportedKeyword = 5,
    InvalidArgumentNumber = 6,
    InvalidSyntax = 7,
    InvalidArgumentValue = 8,
    NotEnoughMemory = 9,
    Other = 10,
};

// The report shown for a failed load: message 1, the path and a colon, then on the next line the error's
// text and the line number. False, and no report, for a code above 10.
bool FormatParseReport(std::uint32_t code, std::string_view path, std::uint32_t line, std::string& report);

}  // namespace tessaly
