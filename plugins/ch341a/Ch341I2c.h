#pragma once

#include <cstdint>
#include <span>

#include "plugins/ch341a/Ch341Link.h"

namespace tessaly {

// A 24Cxx EEPROM at I2C address 0x50 behind the programmer. With 8-bit word addresses the chips above
// 256 bytes (24C04 to 24C16) take address bits 8 to 10 in the device address; with 16-bit word
// addresses bits 16 to 18 go there (24CM01, 24CM02).
class Ch341I2c {
  public:
    static constexpr std::uint8_t kDevice = 0x50;
    // How many times a busy chip is asked whether its write cycle has ended, about a millisecond each.
    static constexpr int kMaxPolls = 50;

    Ch341I2c(Ch341Link& link, bool wideAddresses) : link_(link), wide_(wideAddresses) {}

    // Sets the bus clock by its speed code (0 to 3).
    PluginStatus SetClock(std::uint8_t code);
    // Whether the chip acknowledges its address: Ok, or NoAnswer while it is busy or absent.
    PluginStatus Probe(std::uint8_t device = kDevice);

    // The safe page for the addressing mode: every 8-bit chip has pages of 8 bytes or more, every
    // 16-bit one of 32 or more.
    static constexpr std::uint32_t PageSize(bool wideAddresses) { return wideAddresses ? 32 : 8; }
    std::uint32_t PageSize() const { return PageSize(wide_); }

    // Reads in chunks that one packet answers, never across a 256-byte block of the device address.
    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done);
    // Writes up to the end of the page, then polls the chip until its write cycle has ended.
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done);

  private:
    bool Reaches(std::uint32_t address) const { return address <= (wide_ ? 0x7FFFFu : 0x7FFu); }
    std::uint8_t DeviceFor(std::uint32_t address) const {
        return static_cast<std::uint8_t>(kDevice | ((address >> (wide_ ? 16 : 8)) & 0x07));
    }
    // The device address for writing followed by the word address.
    std::size_t Header(std::uint32_t address, std::uint8_t* out) const;
    PluginStatus ReadChunk(std::uint32_t address, std::span<std::uint8_t> chunk);
    // Sends out as one I2C write (start, bytes, stop) over as many packets as it takes.
    PluginStatus SendWrite(std::span<const std::uint8_t> out);
    void AwaitWriteCycle();

    Ch341Link& link_;
    const bool wide_;
};

}  // namespace tessaly
