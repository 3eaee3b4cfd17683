#include "engine/ValueText.h"

#include <array>

namespace tessaly {
namespace {

constexpr std::array<std::uint32_t, 3> kRadix = {2, 10, 16};
constexpr char kDigits[] = "0123456789ABCDEF";

bool RadixOf(NumberBase base, std::uint32_t& radix) {
    const auto index = static_cast<std::uint32_t>(base);
    if (index >= kRadix.size()) {
        return false;
    }
    radix = kRadix[index];
    return true;
}

int DigitValue(char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool ParseValueText(std::string_view text, NumberBase base, double& value) {
    std::uint32_t radix = 0;
    if (text.empty() || !RadixOf(base, radix)) {
        return false;
    }
    double result = 0.0;
    for (const char c : text) {
        const int digit = DigitValue(c);
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= radix) {
            return false;
        }
        result = result * radix + digit;
    }
    value = result;
    return true;
}

bool FormatValueText(std::uint32_t value, NumberBase base, std::string& text) {
    std::uint32_t radix = 0;
    if (!RadixOf(base, radix)) {
        return false;
    }
    std::array<char, 32> digits{};
    std::size_t first = digits.size();
    do {
        digits[--first] = kDigits[value % radix];
        value /= radix;
    } while (value != 0);
    text.assign(digits.data() + first, digits.size() - first);
    return true;
}

}  // namespace tessaly
