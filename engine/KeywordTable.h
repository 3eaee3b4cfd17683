#pragma once

#include <string_view>

namespace tessaly {

// The 31 script keywords in their fixed order. Item kinds, bus kinds, bases and operations are stored as
// positions in this table, so the order is part of the template format.
inline constexpr std::string_view kKeywordTable[] = {
    "I2C8",     "I2C16", "SPI", "BIT", "ENUM", "NUM",     "TIME",    "STATIC", "TITLE", "STRING", "RELATIVE",
    "CHECKSUM", "CRC",   "BIN", "DEC", "HEX",  "LENDIAN", "BENDIAN", "ZEROS",  "ONES",  "ASCIIZ", "COUNTER",
    "NOT",      "AND",   "OR",  "XOR", "ADD",  "SUB",     "MUL",     "DIV",    "COPY",
};
inline constexpr int kKeywordCount = 31;

// A class of keywords: a slice of the table that one lookup searches.
struct KeywordClass {
    int first;
    int count;
};

inline constexpr KeywordClass kBusKeywords{0, 3};
inline constexpr KeywordClass kItemKeywords{3, 10};
inline constexpr KeywordClass kBaseKeywords{13, 3};
inline constexpr KeywordClass kByteOrderKeywords{16, 2};
inline constexpr KeywordClass kChecksumFillKeywords{18, 2};
inline constexpr KeywordClass kStringModeKeywords{20, 2};
inline constexpr KeywordClass kOperationKeywords{22, 9};

// The position within the slice first..first+count-1 of the first keyword equal to text ignoring case
// (ASCII), or -1.
int FindKeyword(std::string_view text, int first, int count);
inline int FindKeyword(std::string_view text, KeywordClass keywordClass) {
    return FindKeyword(text, keywordClass.first, keywordClass.count);
}

// The keyword's text for an item kind value (0..9).
std::string_view ItemKindKeyword(unsigned kind);

}  // namespace tessaly
