#pragma once

#include <cstdint>
#include <span>

#include "plugins/ch341a/Ch341Link.h"
#include "plugins/ch341a/Ch341Port.h"

namespace tessaly {

// A 25xx SPI EEPROM on the programmer's chip select 0: READ (03h), WREN (06h) then WRITE (02h), and the
// status register (05h) polled until its write-in-progress bit clears. Addresses take 16 bits up to
// 64 KiB and 24 bits above. The programmer shifts each byte least significant bit first, so every byte
// is mirrored on its way out and back.
class Ch341Spi {
  public:
    static constexpr std::uint8_t kRead = 0x03;
    static constexpr std::uint8_t kWriteEnable = 0x06;
    static constexpr std::uint8_t kWrite = 0x02;
    static constexpr std::uint8_t kReadStatus = 0x05;
    static constexpr std::uint8_t kWriteInProgress = 0x01;
    static constexpr int kMaxPolls = 50;

    Ch341Spi(Ch341Link& link, const SpiChip& chip) : link_(link), chip_(chip) {}

    // Ok when a chip answers; an open socket reads all ones.
    PluginStatus Probe();
    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done);
    // Writes up to the end of the page, then polls the status until the write cycle has ended; a chip
    // still busy from before answers NoAnswer.
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done);

  private:
    PluginStatus Select(bool selected);
    // One selected transaction: out shifted out, the bytes shifted in at the same time into in.
    PluginStatus Transact(std::span<const std::uint8_t> out, std::span<std::uint8_t> in);
    PluginStatus Status(std::uint8_t& status);
    std::size_t Command(std::uint8_t code, std::uint32_t address, std::uint8_t* out) const;

    Ch341Link& link_;
    const SpiChip& chip_;
};

}  // namespace tessaly
