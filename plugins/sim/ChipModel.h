#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessaly {

enum class ChipBus { I2c, Spi };

// One kind of serial EEPROM that the simulator offers as a port.
struct ChipModel {
    std::string_view name;  // the port name, e.g. "24C02"
    ChipBus bus;
    std::uint32_t capacity;      // bytes
    std::uint32_t pageSize;      // bytes one write can hold; the block size the host transfers in
    std::uint32_t addressBytes;  // word-address bytes after the device address (I2C) or command (SPI)

    // Whether the chip understands transfers made with the programmer's addressing mode. An I2C chip
    // takes exactly as many word-address bytes as it has, so a template with the wrong bus fails. The
    // host sends no addressing mode for an SPI unit, so an SPI chip works with whichever is set.
    bool AnswersTo(bool wideAddressing) const {
        return bus == ChipBus::Spi || wideAddressing == (addressBytes == 2);
    }
};

// No chip name is longer, so a port name need not be looked at beyond this many bytes.
inline constexpr std::size_t kLongestChipName = 16;

// Every chip the simulator offers, in the order the ports are listed.
std::span<const ChipModel> ChipModels();

// The chip of that name, compared without regard to ASCII case; null when there is none.
const ChipModel* FindChipModel(std::string_view name);

}  // namespace tessaly
