#include "EmulatedCh341.h"

#include <algorithm>

namespace tessaly::test {
namespace {

// A transport that hands everything to the emulator, which outlives it.
class Forwarder : public UsbTransport {
  public:
    explicit Forwarder(UsbTransport& target) : target_(target) {}
    UsbResult Send(std::span<const std::uint8_t> bytes) override { return target_.Send(bytes); }
    UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) override {
        return target_.Receive(buffer, received);
    }

  private:
    UsbTransport& target_;
};

std::uint8_t Mirrored(std::uint8_t byte) {
    std::uint8_t mirrored = 0;
    for (int bit = 0; bit < 8; ++bit) {
        mirrored = static_cast<std::uint8_t>(mirrored << 1 | ((byte >> bit) & 1));
    }
    return mirrored;
}

}  // namespace

std::unique_ptr<UsbTransport> EmulatedCh341::Open(const UsbLocation& location, OpenFailure& failure) {
    failure = unplugged || location != kAt ? OpenFailure::Absent : OpenFailure::None;
    return failure == OpenFailure::None ? std::make_unique<Forwarder>(*this) : nullptr;
}

UsbResult EmulatedCh341::Send(std::span<const std::uint8_t> bytes) {
    const Bytes packet(bytes.begin(), bytes.end());
    if (onSend) {
        onSend(packet);
    }
    if (unplugged) {
        return UsbResult::Gone;
    }
    sent.push_back(packet);
    const auto rest = bytes.subspan(1);
    if (bytes[0] == 0xAA) {
        I2cStream(rest);
    } else if (bytes[0] == 0xAB) {
        UioStream(rest);
    } else if (bytes[0] == 0xA8) {
        std::transform(rest.begin(), rest.end(), std::back_inserter(answer_),
                       [&](std::uint8_t byte) { return Mirrored(SpiByte(Mirrored(byte))); });
    }
    return UsbResult::Ok;
}

UsbResult EmulatedCh341::Receive(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = std::min(buffer.size(), answer_.size());
    std::copy_n(answer_.begin(), received, buffer.begin());
    answer_.erase(answer_.begin(), answer_.begin() + static_cast<std::ptrdiff_t>(received));
    return unplugged ? UsbResult::Gone : UsbResult::Ok;
}

void EmulatedCh341::I2cStream(std::span<const std::uint8_t> stream) {
    for (std::size_t at = 0; at < stream.size() && stream[at] != 0x00; ++at) {
        const std::uint8_t command = stream[at];
        const std::size_t length = command & 0x3F;
        if (command == 0x74) {
            phase_ = I2cPhase::Device;
        } else if (command == 0x75) {
            for (std::size_t i = 0; phase_ == I2cPhase::Data && i < pending_.size(); ++i) {
                i2cMemory[(i2cAddress_ & ~0x0Fu) | ((i2cAddress_ + i) & 0x0F)] = pending_[i];
            }
            i2cBusy_ = phase_ == I2cPhase::Data ? busyPolls : i2cBusy_;
            phase_ = I2cPhase::Idle;
        } else if ((command & 0xC0) == 0x80) {
            const std::size_t count = std::max<std::size_t>(length, 1);
            for (std::size_t i = 0; i < count && ++at < stream.size(); ++i) {
                const bool acknowledged = I2cByte(stream[at]);
                if (length == 0) {
                    answer_.push_back(acknowledged ? 0x00 : 0x80);
                }
            }
        } else if ((command & 0xC0) == 0xC0) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                answer_.push_back(phase_ == I2cPhase::Reading ? i2cMemory[i2cAddress_++ % 2048] : 0xFF);
            }
        }
    }
}

bool EmulatedCh341::I2cByte(std::uint8_t byte) {
    switch (phase_) {
        case I2cPhase::Device:
            if ((byte >> 4) != 0x0A || (i2cBusy_ > 0 && i2cBusy_--)) {
                phase_ = I2cPhase::Ignored;
                return false;
            }
            i2cAddress_ = (i2cAddress_ & 0xFF) | (byte & 0x0E) << 7;
            phase_ = (byte & 1) != 0 ? I2cPhase::Reading : I2cPhase::WordAddress;
            return true;
        case I2cPhase::WordAddress:
            i2cAddress_ = (i2cAddress_ & 0x700) | byte;
            pending_.clear();
            phase_ = I2cPhase::Data;
            return true;
        case I2cPhase::Data:
            pending_.push_back(byte);
            return true;
        default:
            return false;
    }
}

void EmulatedCh341::UioStream(std::span<const std::uint8_t> stream) {
    for (std::size_t at = 0; at < stream.size() && stream[at] != 0x20; ++at) {
        if ((stream[at] & 0xC0) != 0x80) {
            continue;
        }
        const bool selecting = (stream[at] & 1) == 0;
        if (selected_ && !selecting && spiCommand_.size() > 3 && spiCommand_[0] == 0x02 && writeEnabled_) {
            const std::uint32_t address = spiCommand_[1] << 8 | spiCommand_[2];
            for (std::size_t i = 3; i < spiCommand_.size(); ++i) {
                spiMemory[(address & ~0x3Fu) | ((address + i - 3) & 0x3F)] = spiCommand_[i];
            }
            writeEnabled_ = false;
            spiBusy_ = busyPolls;
        }
        if (selecting && !selected_) {
            spiCommand_.clear();
        }
        selected_ = selecting;
    }
}

std::uint8_t EmulatedCh341::SpiByte(std::uint8_t byte) {
    if (!selected_) {
        return 0xFF;
    }
    spiCommand_.push_back(byte);
    const std::uint8_t opcode = spiCommand_[0];
    if (opcode == 0x06) {
        writeEnabled_ = true;
    } else if (opcode == 0x05 && spiCommand_.size() == 2) {
        return spiBusy_ > 0 && spiBusy_-- ? 0x03 : (writeEnabled_ ? 0x02 : 0x00);
    } else if (opcode == 0x03 && spiCommand_.size() > 3) {
        return spiMemory[((spiCommand_[1] << 8 | spiCommand_[2]) + spiCommand_.size() - 4) %
                         spiMemory.size()];
    }
    return 0xFF;
}

}  // namespace tessaly::test
