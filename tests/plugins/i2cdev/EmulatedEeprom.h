#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "plugins/i2cdev/I2cTransport.h"

namespace tessaly::test {

// A 24Cxx chip as it behaves on the bus, standing in for the adapter:
// - it answers to its base address and, with one word-address byte and more than 256 bytes, to the
//   addresses whose low bits select its 256-byte blocks (24C04: 2, 24C08: 4, 24C16: 8);
// - a write message sets the address counter from its first one or two bytes; data bytes after them go
//   into the counter's page, wrapping at the page's end as real chips do, and start a write cycle;
// - during a write cycle the chip acknowledges nothing: the next writeCycleTransfers transfers are NAKed;
// - a read message reads from the address counter on, wrapping at the end of the chip.
// Every transfer is logged so tests can check the shape of what went on the bus.
class EmulatedEeprom : public I2cTransport {
  public:
    struct Model {
        std::uint32_t size = 256;
        std::uint32_t pageSize = 8;
        bool wideAddresses = false;
        std::uint8_t baseAddress = 0x50;
    };

    // One message of a logged transfer.
    struct Segment {
        std::uint8_t address;
        bool read;
        std::uint16_t length;
        friend bool operator==(const Segment&, const Segment&) = default;
    };

    explicit EmulatedEeprom(Model model);

    Status Transfer(std::span<const I2cMessage> messages) override;

    std::vector<std::uint8_t> memory;
    std::uint32_t writeCycleTransfers = 0;
    std::vector<std::vector<Segment>> log;

  private:
    bool AnswersTo(std::uint8_t address) const;
    void Write(const I2cMessage& message);
    void Read(const I2cMessage& message);

    Model model_;
    std::uint32_t counter_ = 0;
    std::uint32_t busyFor_ = 0;
};

}  // namespace tessaly::test
