#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// A port of this plug-in: one adapter, one chip address on it and the chip's page size, written
// "i2c-<adapter>:<address>[/<page>]", for example "i2c-1:50" or "i2c-1:50/64":
// - adapter: the N of /dev/i2c-N, in decimal without leading zeros;
// - address: the chip's 7-bit I2C address as two hex digits, 08 to 77;
// - page: the page size in bytes, a power of two from 2 to 256; without it the chip is written one byte
//   at a time, which every 24Cxx accepts.
// One port has exactly one name: "/1" and leading zeros are refused, because the Options dialog selects
// the first listed name that begins with the stored one, and "i2c-1:50/1" would select "i2c-1:50/16".
// Letter case is ignored when reading; names are written in lower case.
struct PortName {
    // The Port setting holds 16 bytes with the terminator.
    static constexpr std::size_t kMaxLength = 15;
    static constexpr std::uint32_t kDefaultPageSize = 1;
    static constexpr std::uint32_t kMaxPageSize = 256;
    static constexpr std::uint8_t kLowestAddress = 0x08;
    static constexpr std::uint8_t kHighestAddress = 0x77;

    std::uint32_t adapter = 0;
    std::uint8_t address = 0x50;
    std::uint32_t pageSize = kDefaultPageSize;

    static std::optional<PortName> Parse(std::string_view text);
    std::string Format() const;

    friend bool operator==(const PortName&, const PortName&) = default;
};

}  // namespace tessaly
