#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// The value types of the template model. Enumerators are positions in the script's keyword table (see
// KeywordTable.h), so their numeric values are part of the template format.

enum class BusKind : std::uint32_t { I2C8 = 0, I2C16 = 1, SPI = 2 };

enum class ItemKind : std::uint32_t {
    Bit = 0,
    Enum = 1,
    Num = 2,
    Time = 3,
    Static = 4,
    Title = 5,
    String = 6,
    Relative = 7,
    Checksum = 8,
    Crc = 9,
};
inline constexpr std::uint32_t kItemKindCount = 10;

enum class NumberBase : std::uint32_t { Bin = 0, Dec = 1, Hex = 2 };

enum class RelativeOp : std::uint8_t { Not = 0, And, Or, Xor, Add, Sub, Mul, Div, Copy };

// How a field spread over several bytes orders its value: Little keeps the least significant bits in the
// first byte, Big in the last.
enum class ByteOrder : std::uint8_t { Little = 0, Big = 1 };

// A field's first and last byte address, inclusive. start > end is kept as written.
struct Location {
    std::uint16_t start = 0;
    std::uint16_t end = 0;
};

// end - start + 1 in 32-bit arithmetic (a backwards location wraps); 0 for an absent location.
inline std::uint32_t LocationSize(const Location* location) {
    if (location == nullptr) {
        return 0;
    }
    return static_cast<std::uint32_t>(location->end) - location->start + 1u;
}

// The index of the first of n texts that is present and equals text byte for byte; -1 when none does.
inline int FindText(std::string_view text, const char* const* texts, int n) {
    for (int i = 0; i < n; ++i) {
        if (texts[i] != nullptr && text == texts[i]) {
            return i;
        }
    }
    return -1;
}

// First bit (within the byte at start) in the low four bits, last bit (within the byte at end) in the high
// four bits. Each half holds 0..15; the codec decides what bits above 7 mean.
using BitRange = std::uint8_t;
inline constexpr BitRange kWholeBytes = 0x70;

constexpr std::uint8_t FirstBit(BitRange bits) {
    return bits & 0x0F;
}
constexpr std::uint8_t LastBit(BitRange bits) {
    return bits >> 4;
}
constexpr BitRange MakeBitRange(std::uint8_t first, std::uint8_t last) {
    return static_cast<BitRange>(((last & 0x0F) << 4) | (first & 0x0F));
}

}  // namespace tessaly
