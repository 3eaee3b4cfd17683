#include "EmulatedEeprom.h"

namespace tessaly::test {
namespace {

constexpr std::uint32_t kBlock = 256;

}  // namespace

EmulatedEeprom::EmulatedEeprom(Model model) : memory(model.size, 0xFF), model_(model) {}

bool EmulatedEeprom::AnswersTo(std::uint8_t address) const {
    const std::uint32_t blocks = model_.wideAddresses || model_.size <= kBlock ? 1 : model_.size / kBlock;
    return address >= model_.baseAddress && address < model_.baseAddress + blocks;
}

Status EmulatedEeprom::Transfer(std::span<const I2cMessage> messages) {
    std::vector<Segment>& entry = log.emplace_back();
    for (const I2cMessage& message : messages) {
        entry.push_back({message.address, message.read, message.length});
    }
    if (busyFor_ > 0) {
        --busyFor_;
        return Status::NotAcknowledged;
    }
    for (const I2cMessage& message : messages) {
        if (!AnswersTo(message.address)) {
            return Status::NotAcknowledged;
        }
        if (message.read) {
            Read(message);
        } else {
            Write(message);
        }
    }
    return Status::Ok;
}

void EmulatedEeprom::Write(const I2cMessage& message) {
    const std::uint16_t header = model_.wideAddresses ? 2 : 1;
    if (message.length < header) {
        return;
    }
    if (model_.wideAddresses) {
        counter_ = ((message.data[0] << 8) | message.data[1]) % model_.size;
    } else {
        const std::uint32_t block = message.address - model_.baseAddress;
        counter_ = (block * kBlock + message.data[0]) % model_.size;
    }
    if (message.length == header) {
        return;
    }
    const std::uint32_t pageStart = counter_ - counter_ % model_.pageSize;
    for (std::uint16_t i = header; i < message.length; ++i) {
        memory[pageStart + (counter_ - pageStart + i - header) % model_.pageSize] = message.data[i];
    }
    busyFor_ = writeCycleTransfers;
}

void EmulatedEeprom::Read(const I2cMessage& message) {
    for (std::uint16_t i = 0; i < message.length; ++i) {
        message.data[i] = memory[counter_];
        counter_ = (counter_ + 1) % model_.size;
    }
}

}  // namespace tessaly::test
