#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "plugins/ch341a/UsbTransport.h"
#include "plugins/common/PluginStatus.h"

namespace tessaly {

// The CH341A's command codes. The I2C stream carries sub-commands, the length of OUT and IN in their low
// six bits; the UIO stream sets the D0 to D5 pins, D0 being the SPI chip select. docs/hardware.md says
// where each fact comes from.
namespace ch341 {
inline constexpr std::size_t kPacketSize = 32;

inline constexpr std::uint8_t kI2cStream = 0xAA;
inline constexpr std::uint8_t kI2cStart = 0x74;
inline constexpr std::uint8_t kI2cStop = 0x75;
inline constexpr std::uint8_t kI2cOut = 0x80;
inline constexpr std::uint8_t kI2cIn = 0xC0;
inline constexpr std::uint8_t kI2cSet = 0x60;
inline constexpr std::uint8_t kI2cEnd = 0x00;
// Bit 7 of the byte that an OUT of length 0 answers: set when the byte was not acknowledged.
inline constexpr std::uint8_t kNoAcknowledge = 0x80;

inline constexpr std::uint8_t kSpiStream = 0xA8;
inline constexpr std::uint8_t kUioStream = 0xAB;
inline constexpr std::uint8_t kUioOut = 0x80;
inline constexpr std::uint8_t kUioDirection = 0x40;
inline constexpr std::uint8_t kUioEnd = 0x20;
// D0 to D5 driven; D0 (chip select) low or high, D1 and D2 high, D3 (clock) low, D4 and D5 high.
inline constexpr std::uint8_t kPinsOut = 0x3F;
inline constexpr std::uint8_t kSelected = 0x36;
inline constexpr std::uint8_t kDeselected = 0x37;
}  // namespace ch341

// One opened programmer as its drivers see it: commands out, answers in. A PGM_Reset from another thread
// (the cancelled flag) ends the exchange before its next packet; a failed transfer, an unplugged
// programmer included, is HardwareError.
class Ch341Link {
  public:
    Ch341Link(UsbTransport& transport, const std::atomic<bool>& cancelled)
        : transport_(transport), cancelled_(cancelled) {}

    // evenWhenCancelled sends a command that puts the bus back to rest after a reset.
    PluginStatus Send(std::span<const std::uint8_t> command, bool evenWhenCancelled = false);
    // Sends command and takes its answer, which must be exactly answer.size() bytes.
    PluginStatus Exchange(std::span<const std::uint8_t> command, std::span<std::uint8_t> answer);

  private:
    UsbTransport& transport_;
    const std::atomic<bool>& cancelled_;
};

}  // namespace tessaly
