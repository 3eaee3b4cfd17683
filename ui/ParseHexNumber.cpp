#include "ui/ParseHexNumber.h"

#include <algorithm>
#include <limits>

namespace tessaly {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool ParseHexNumber(std::string_view text, std::uint32_t& value) {
    if (!text.starts_with("0x") || text.size() < 3 || HexDigit(text[2]) < 0) {
        return false;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t number = 0;
    for (std::size_t i = 2; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        number = std::min(number * 16 + static_cast<std::uint64_t>(HexDigit(text[i])), kMax + 1);
    }
    value = static_cast<std::uint32_t>(std::min(number, kMax));
    return true;
}

}  // namespace tessaly
