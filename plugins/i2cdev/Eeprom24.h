#pragma once

#include <cstdint>
#include <span>

#include "plugins/common/PluginStatus.h"
#include "plugins/i2cdev/I2cTransport.h"

namespace tessaly {

// How one 24Cxx chip is addressed.
struct EepromAddressing {
    // The chip's 7-bit address, as the port names it.
    std::uint8_t deviceAddress = 0x50;
    // Bytes a write may cover; reads use the same blocks.
    std::uint32_t pageSize = 1;
    // Two word-address bytes (24C32 and up) instead of one (24C01 to 24C16).
    bool wideAddresses = false;
};

// The transfers of a 24Cxx EEPROM, one block per call:
// - a read is one combined transfer: a write of the word address, a repeated start and a read;
// - a write is one message: the word address followed by the data, never past the end of a page;
// - with one word-address byte, bits 8 to 10 of the address go into the low bits of the device address,
//   as the 24C04, 24C08 and 24C16 expect. Only the bits that are 0 in the port's address are used, so a
//   chip never reaches into its neighbour's addresses: a port at 0x50 reaches 2 KiB, 0x54 1 KiB, 0x52
//   and 0x56 512 bytes, odd addresses 256 bytes;
// - with two word-address bytes the device address stays as it is and 64 KiB are reachable; chips that
//   put address bit 16 into the device address are not covered.
// A call covers at most one block: a longer request is cut at the next multiple of the page size and the
// length done says so. An address the port cannot reach is refused before anything goes on the bus.
class Eeprom24 {
  public:
    static constexpr std::uint32_t kWideReach = 0x10000;

    Eeprom24(I2cTransport& transport, EepromAddressing addressing)
        : transport_(transport), addressing_(addressing) {}

    // Bytes from address 0 that this port can reach.
    std::uint32_t Reach() const;

    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done);
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done);

    // Reads one byte from the chip's current address: acknowledged when a chip is there and idle. A
    // zero-length write would be shorter, but some EEPROMs take it for the start of a write and corrupt
    // a byte.
    PluginStatus Probe();

  private:
    // The part of a request of length bytes at address that lies in one block; 0 when it cannot be done.
    std::uint32_t BlockPart(std::uint32_t address, std::size_t length) const;
    std::uint8_t DeviceAddressFor(std::uint32_t address) const;
    // Writes the word address into bytes and returns how many it took.
    std::uint16_t PutWordAddress(std::uint32_t address, std::uint8_t* bytes) const;

    I2cTransport& transport_;
    EepromAddressing addressing_;
};

}  // namespace tessaly
