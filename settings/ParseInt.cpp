#include "settings/ParseInt.h"

#include <algorithm>
#include <limits>

#include "text/AsciiText.h"

namespace tessaly {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Any magnitude from here on saturates either sign, so accumulation stops here and cannot overflow.
constexpr std::int64_t kMagnitudeCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;

}  // namespace

bool ParseInt(std::string_view text, std::int32_t& value) {
    std::size_t position = 0;
    while (position < text.size() && IsWhiteSpace(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    if (position == text.size() || !IsDigit(text[position])) {
        return false;
    }
    std::int64_t magnitude = 0;
    for (; position < text.size() && IsDigit(text[position]); ++position) {
        if (magnitude < kMagnitudeCap) {
            magnitude = magnitude * 10 + (text[position] - '0');
        }
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    value = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        number, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    return true;
}

}  // namespace tessaly
