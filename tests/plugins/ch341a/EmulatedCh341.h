#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plugins/ch341a/UsbBus.h"

namespace tessaly::test {

using Bytes = std::vector<std::uint8_t>;

// A CH341A at 1-1 as its command streams describe it, with a 24C16 (2 KiB, 16-byte pages, 8-bit word
// addresses) on I2C and a 25LC256 (32 KiB, 64-byte pages) on SPI behind it. Both chips stay busy for
// busyPolls polls after each write. It keeps every packet it was sent.
class EmulatedCh341 : public UsbBus, public UsbTransport {
  public:
    Bytes i2cMemory = Bytes(2048, 0xFF);
    Bytes spiMemory = Bytes(32768, 0xFF);
    int busyPolls = 0;
    bool unplugged = false;
    std::vector<Bytes> sent;
    // Called with each packet before it is carried out.
    std::function<void(const Bytes&)> onSend;

    std::vector<UsbLocation> Programmers() override {
        return unplugged ? std::vector<UsbLocation>{} : std::vector{kAt};
    }
    std::unique_ptr<UsbTransport> Open(const UsbLocation& location, OpenFailure& failure) override;

    UsbResult Send(std::span<const std::uint8_t> bytes) override;
    UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) override;

    static inline const UsbLocation kAt{1, {1}};

  private:
    enum class I2cPhase { Idle, Device, WordAddress, Data, Reading, Ignored };

    void I2cStream(std::span<const std::uint8_t> stream);
    bool I2cByte(std::uint8_t byte);
    void UioStream(std::span<const std::uint8_t> stream);
    std::uint8_t SpiByte(std::uint8_t byte);

    Bytes answer_;
    I2cPhase phase_ = I2cPhase::Idle;
    std::uint32_t i2cAddress_ = 0;
    Bytes pending_;
    int i2cBusy_ = 0;
    bool selected_ = false;
    Bytes spiCommand_;
    bool writeEnabled_ = false;
    int spiBusy_ = 0;
};

}  // namespace tessaly::test
