#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/ch341a/UsbLocation.h"

namespace tessaly {

// A 25xx SPI EEPROM the SPI ports offer: its capacity and page size.
struct SpiChip {
    std::string_view name;
    std::uint32_t capacity;
    std::uint32_t pageSize;
};

// One port: a programmer's location and what it drives there, written "<location> I2C <clock>" (an I2C
// EEPROM at 0x50 with the bus at 20k, 100k, 400k or 750k Hz) or "<location> <chip>" (that 25xx chip on
// SPI): "1-1.4 I2C 100k", "1-1.4 25LC256". The host keeps a port in 16 bytes, so the names stay short.
struct Ch341Port {
    static constexpr std::size_t kMaxLength = 15;

    UsbLocation location;
    // The clock's index in I2cClocks() for an I2C port; nothing for SPI.
    std::optional<std::uint8_t> i2cClock;
    // For an SPI port.
    const SpiChip* spiChip = nullptr;

    std::string Format() const;
    static std::optional<Ch341Port> Parse(std::string_view text);

    // Every port of the programmers at these locations that fits kMaxLength, in the order offered.
    static std::vector<std::string> List(std::span<const UsbLocation> locations);
};

// The I2C clocks by the programmer's speed code: 20k, 100k, 400k, 750k.
std::span<const std::string_view> I2cClocks();
// The SPI chips offered, by capacity.
std::span<const SpiChip> SpiChips();

}  // namespace tessaly
