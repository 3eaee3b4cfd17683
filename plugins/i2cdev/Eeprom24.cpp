#include "plugins/i2cdev/Eeprom24.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "plugins/i2cdev/PortName.h"

namespace tessaly {
namespace {

constexpr std::uint32_t kBlockSelectSpan = 256;
constexpr std::uint8_t kBlockSelectBits = 0x07;

}  // namespace

std::uint32_t Eeprom24::Reach() const {
    if (addressing_.wideAddresses) {
        return kWideReach;
    }
    const std::uint32_t usedBits = addressing_.deviceAddress & kBlockSelectBits;
    // The lowest 1 bit of the address ends the block-select bits that are free to use.
    const std::uint32_t blocks = usedBits == 0 ? kBlockSelectBits + 1 : (usedBits & (~usedBits + 1));
    return blocks * kBlockSelectSpan;
}

std::uint32_t Eeprom24::BlockPart(std::uint32_t address, std::size_t length) const {
    if (address >= Reach() || addressing_.pageSize == 0 || addressing_.pageSize > PortName::kMaxPageSize) {
        return 0;
    }
    const std::uint32_t toBoundary = addressing_.pageSize - address % addressing_.pageSize;
    return static_cast<std::uint32_t>(std::min<std::size_t>(length, toBoundary));
}

std::uint8_t Eeprom24::DeviceAddressFor(std::uint32_t address) const {
    if (addressing_.wideAddresses) {
        return addressing_.deviceAddress;
    }
    return static_cast<std::uint8_t>(addressing_.deviceAddress | (address / kBlockSelectSpan));
}

std::uint16_t Eeprom24::PutWordAddress(std::uint32_t address, std::uint8_t* bytes) const {
    if (addressing_.wideAddresses) {
        bytes[0] = static_cast<std::uint8_t>(address >> 8);
        bytes[1] = static_cast<std::uint8_t>(address);
        return 2;
    }
    bytes[0] = static_cast<std::uint8_t>(address);
    return 1;
}

PluginStatus Eeprom24::Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) {
    done = 0;
    if (buffer.empty()) {
        return PluginStatus::Ok;
    }
    const std::uint32_t length = BlockPart(address, buffer.size());
    if (length == 0) {
        return PluginStatus::InvalidRequest;
    }
    std::array<std::uint8_t, 2> wordAddress{};
    const std::uint8_t device = DeviceAddressFor(address);
    const std::array<I2cMessage, 2> messages{{
        {device, false, wordAddress.data(), PutWordAddress(address, wordAddress.data())},
        {device, true, buffer.data(), static_cast<std::uint16_t>(length)},
    }};
    const PluginStatus status = transport_.Transfer(messages);
    if (status == PluginStatus::Ok) {
        done = length;
    }
    return status;
}

PluginStatus Eeprom24::Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done) {
    done = 0;
    if (data.empty()) {
        return PluginStatus::Ok;
    }
    const std::uint32_t length = BlockPart(address, data.size());
    if (length == 0) {
        return PluginStatus::InvalidRequest;
    }
    std::array<std::uint8_t, 2 + PortName::kMaxPageSize> bytes{};
    const std::uint16_t header = PutWordAddress(address, bytes.data());
    std::memcpy(bytes.data() + header, data.data(), length);
    const std::array<I2cMessage, 1> message{{
        {DeviceAddressFor(address), false, bytes.data(), static_cast<std::uint16_t>(header + length)},
    }};
    const PluginStatus status = transport_.Transfer(message);
    if (status == PluginStatus::Ok) {
        done = length;
    }
    return status;
}

PluginStatus Eeprom24::Probe() {
    std::uint8_t byte = 0;
    const std::array<I2cMessage, 1> message{{{addressing_.deviceAddress, true, &byte, 1}}};
    return transport_.Transfer(message);
}

}  // namespace tessaly
