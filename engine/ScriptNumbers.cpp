#include "engine/ScriptNumbers.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

#include "engine/ScriptFields.h"
#include "text/AsciiText.h"

namespace tessaly {
namespace {

bool ParseAddress(std::string_view text, std::uint16_t& address) {
    std::uint32_t value = 0;
    if (!ParseNumber(text, Radix::Hexadecimal, value)) {
        return false;
    }
    address = static_cast<std::uint16_t>(value);
    return true;
}

// Reads one side of a location: the address and, when the side has exactly one ".", its bit number.
bool ParseLocationSide(std::string_view side, bool bitsWanted, std::uint16_t& address, int& bit) {
    const int dots = CountFields(side, '.');
    if (dots >= 2 && !bitsWanted) {
        return false;
    }
    if (!ParseAddress(GetField(side, '.', 0), address)) {
        return false;
    }
    bit = -1;
    if (dots == 2) {
        std::uint32_t value = 0;
        if (!ParseNumber(GetField(side, '.', 1), Radix::Hexadecimal, value)) {
            return false;
        }
        bit = static_cast<int>(value & 0x0F);
    }
    return true;
}

}  // namespace

bool ParseNumber(std::string_view text, Radix radix, std::uint32_t& value) {
    const std::uint32_t base = static_cast<std::uint32_t>(radix);
    std::uint32_t result = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) {
            return false;
        }
        result = result * base + static_cast<std::uint32_t>(digit);
    }
    value = result;
    return true;
}

bool ParseScale(std::string_view text, float& scale) {
    // strtof under the C locale reads exactly what "%f" reads, whatever locale the desktop has set.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text);
    char* stop = nullptr;
    const float value =
        cLocale != locale_t{} ? strtof_l(copy.c_str(), &stop, cLocale) : strtof(copy.c_str(), &stop);
    if (stop == copy.c_str()) {
        return false;
    }
    scale = value;
    return true;
}

bool ParseLocation(std::string_view text, Location& location, BitRange* bits) {
    const int parts = CountFields(text, '-');
    if (parts > 2) {
        return false;
    }
    const bool bitsWanted = bits != nullptr;
    std::uint16_t start = 0;
    int firstBit = -1;
    if (!ParseLocationSide(GetField(text, '-', 0), bitsWanted, start, firstBit)) {
        return false;
    }
    BitRange range = kWholeBytes;
    if (firstBit >= 0) {
        range = MakeBitRange(static_cast<std::uint8_t>(firstBit), LastBit(range));
    }
    std::uint16_t end = start;
    if (parts == 1) {
        if (firstBit >= 0) {
            range = MakeBitRange(static_cast<std::uint8_t>(firstBit), static_cast<std::uint8_t>(firstBit));
        }
    } else {
        int lastBit = -1;
        if (!ParseLocationSide(GetField(text, '-', 1), bitsWanted, end, lastBit)) {
            return false;
        }
        if (lastBit >= 0) {
            range = MakeBitRange(FirstBit(range), static_cast<std::uint8_t>(lastBit));
        }
    }
    location = {start, end};
    if (bitsWanted) {
        *bits = range;
    }
    return true;
}

bool ParseRange(std::string_view text, std::uint32_t& minimum, std::uint32_t& maximum) {
    if (CountFields(text, '-') != 2) {
        return false;
    }
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!ParseNumber(GetField(text, '-', 0), Radix::Hexadecimal, low) ||
        !ParseNumber(GetField(text, '-', 1), Radix::Hexadecimal, high)) {
        return false;
    }
    minimum = low;
    maximum = high;
    return true;
}

}  // namespace tessaly
