#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "plugins/ch341a/UsbBus.h"

namespace tessaly::test {

using Bytes = std::vector<std::uint8_t>;

// A CH341A at 1-1 as its command streams describe it, with a 24C16 (8-bit word addresses) on I2C and a
// 25LC256 (16-bit addresses) on SPI behind it, neither wrapping at its page's end. Both chips stay busy for
// busyPolls polls after a write; an absent chip answers nothing. It keeps every packet it was sent; onSend
// sees each one first.
class EmulatedCh341 : public UsbBus, public UsbTransport {
  public:
    Bytes i2cMemory = Bytes(2048, 0xFF);
    Bytes spiMemory = Bytes(32768, 0xFF);
    int busyPolls = 0;
    bool unplugged = false;
    bool chipAbsent = false;
    std::vector<Bytes> sent;
    std::function<void(const Bytes&)> onSend;

    std::vector<UsbLocation> Programmers() override {
        return unplugged ? std::vector<UsbLocation>{} : std::vector{kAt};
    }
    std::unique_ptr<UsbTransport> Open(const UsbLocation& location) override {
        struct Forwarder : UsbTransport {
            explicit Forwarder(UsbTransport& to) : to(to) {}
            UsbResult Send(std::span<const std::uint8_t> bytes) override { return to.Send(bytes); }
            UsbResult Receive(std::span<std::uint8_t> in, std::size_t& count) override {
                return to.Receive(in, count);
            }
            UsbTransport& to;
        };
        return unplugged || location != kAt ? nullptr : std::make_unique<Forwarder>(*this);
    }

    UsbResult Send(std::span<const std::uint8_t> bytes) override {
        sent.emplace_back(bytes.begin(), bytes.end());
        if (onSend) {
            onSend(sent.back());
        }
        if (unplugged) {
            return UsbResult::Gone;
        }
        for (std::size_t at = 1; at < bytes.size(); ++at) {
            if (bytes[0] == 0xAA && bytes[at] != 0x00) {
                at += I2cCommand(bytes.subspan(at));
            } else if (bytes[0] == 0xAB && (bytes[at] & 0xC0) == 0x80) {
                ChipSelect((bytes[at] & 1) == 0);
            } else if (bytes[0] == 0xA8) {
                answer_.push_back(Mirrored(SpiByte(Mirrored(bytes[at]))));
            }
        }
        return UsbResult::Ok;
    }
    UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) override {
        received = std::min(buffer.size(), answer_.size());
        std::copy_n(answer_.begin(), received, buffer.begin());
        answer_.erase(answer_.begin(), answer_.begin() + static_cast<std::ptrdiff_t>(received));
        return unplugged ? UsbResult::Gone : UsbResult::Ok;
    }

    static inline const UsbLocation kAt{1, {1}};

  private:
    enum class Phase { Idle, Device, WordAddress, Data, Reading };

    static std::uint8_t Mirrored(std::uint8_t byte) {
        std::uint8_t mirrored = 0;
        for (int bit = 0; bit < 8; ++bit) {
            mirrored = static_cast<std::uint8_t>(mirrored << 1 | ((byte >> bit) & 1));
        }
        return mirrored;
    }

    // One I2C sub-command at the front of stream; returns how many bytes after it it took.
    std::size_t I2cCommand(std::span<const std::uint8_t> stream) {
        const std::size_t length = stream[0] & 0x3F;
        if (stream[0] == 0x74) {
            phase_ = Phase::Device;
        } else if (stream[0] == 0x75) {
            i2cBusy_ = phase_ == Phase::Data ? busyPolls : i2cBusy_;
            phase_ = Phase::Idle;
        } else if ((stream[0] & 0xC0) == 0x80) {
            const std::size_t count = std::min(std::max<std::size_t>(length, 1), stream.size() - 1);
            for (std::size_t i = 1; i <= count; ++i) {
                const bool acknowledged = I2cByte(stream[i]);
                if (length == 0) {
                    answer_.push_back(acknowledged ? 0x00 : 0x80);
                }
            }
            return count;
        } else if ((stream[0] & 0xC0) == 0xC0) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                answer_.push_back(phase_ == Phase::Reading ? i2cMemory[i2cAddress_++ % 2048] : 0xFF);
            }
        }
        return 0;
    }

    bool I2cByte(std::uint8_t byte) {
        if (phase_ == Phase::Device) {
            const bool answers = (byte >> 4) == 0x0A && !chipAbsent && !(i2cBusy_ > 0 && i2cBusy_--);
            i2cAddress_ = (i2cAddress_ & 0xFF) | (byte & 0x0E) << 7;
            phase_ = !answers ? Phase::Idle : (byte & 1) != 0 ? Phase::Reading : Phase::WordAddress;
            return answers;
        }
        if (phase_ == Phase::WordAddress) {
            i2cAddress_ = (i2cAddress_ & 0x700) | byte;
            phase_ = Phase::Data;
        } else if (phase_ == Phase::Data) {
            i2cMemory[i2cAddress_++ % 2048] = byte;
        }
        return phase_ != Phase::Idle;
    }

    void ChipSelect(bool selecting) {
        if (selected_ && !selecting && spiCommand_.size() > 3 && spiCommand_[0] == 0x02) {
            spiBusy_ = busyPolls;
            writeEnabled_ = false;
        }
        spiCommand_.clear();
        selected_ = selecting;
    }

    std::uint8_t SpiByte(std::uint8_t byte) {
        if (!selected_ || chipAbsent) {
            return 0xFF;
        }
        spiCommand_.push_back(byte);
        const std::uint8_t opcode = spiCommand_[0];
        writeEnabled_ = writeEnabled_ || opcode == 0x06;
        if (opcode == 0x05 && spiCommand_.size() == 2) {
            return spiBusy_ > 0 && spiBusy_-- ? 0x03 : (writeEnabled_ ? 0x02 : 0x00);
        }
        if (spiCommand_.size() <= 3 || (opcode != 0x02 && opcode != 0x03)) {
            return 0xFF;
        }
        std::uint8_t& cell =
            spiMemory[((spiCommand_[1] << 8 | spiCommand_[2]) + spiCommand_.size() - 4) % 32768];
        cell = opcode == 0x02 && writeEnabled_ ? byte : cell;
        return opcode == 0x03 ? cell : 0xFF;
    }

    Bytes answer_;
    Phase phase_ = Phase::Idle;
    std::uint32_t i2cAddress_ = 0;
    int i2cBusy_ = 0;
    bool selected_ = false;
    Bytes spiCommand_;
    bool writeEnabled_ = false;
    int spiBusy_ = 0;
};

}  // namespace tessaly::test
