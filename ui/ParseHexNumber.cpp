#include "ui/ParseHexNumber.h"

#include <algorithm>
#include <limits>

#include "text/AsciiText.h"

namespace tessaly {

bool ParseHexNumber(std::string_view text, std::uint32_t& value) {
    if (!text.starts_with("0x") || text.size() < 3 || HexDigitValue(text[2]) < 0) {
        return false;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t number = 0;
    for (std::size_t i = 2; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
        number = std::min(number * 16 + static_cast<std::uint64_t>(HexDigitValue(text[i])), kMax + 1);
    }
    value = static_cast<std::uint32_t>(std::min(number, kMax));
    return true;
}

}  // namespace tessaly
