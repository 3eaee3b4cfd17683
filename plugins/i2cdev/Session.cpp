#include "plugins/i2cdev/Session.h"

#include <string>

#include "device/PluginInterface.h"
#include "plugins/i2cdev/Eeprom24.h"

namespace tessaly {

PluginStatus Session::GetFacility(std::uint32_t code, std::uint32_t& value) {
    cancelled_.store(false);
    switch (code) {
        case PGM_SESSION_HARDWARE_IDENTIFIED:
            value = IsIdentified() ? 1 : 0;
            return PluginStatus::Ok;
        case PGM_SESSION_HARDWARE_PLUGGED:
            value = IsPlugged() ? 1 : 0;
            return PluginStatus::Ok;
        case PGM_SESSION_CHIP_PRESENT:
            return ChipPresent(value);
        case PGM_SESSION_BLOCK_SIZE:
            value = port_.pageSize;
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

PluginStatus Session::SetFacility(std::uint32_t code, std::uint32_t value) {
    switch (code) {
        case PGM_SESSION_POWER:
            // The chip's supply is wired to the board; there is nothing to switch.
            cancelled_.store(false);
            return PluginStatus::Ok;
        case PGM_SESSION_WIDE_ADDRESSING:
            cancelled_.store(false);
            wideAddresses_.store(value != 0);
            return PluginStatus::Ok;
        case PGM_SESSION_IO_DELAY:
            // The adapter sets the bus clock. This code may come from the user-interface thread in the
            // middle of an operation, so it leaves a Reset standing.
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

// The host asks "identified" before "plugged" and shows "Hardware undefined" for a no to the first. So an
// adapter that is simply not there counts as identified, and "plugged" then says no ("Hardware
// unplugged"); "undefined" is kept for an adapter that is there but unusable as it is: its device file
// cannot be opened, or it cannot send plain I2C messages.
bool Session::IsIdentified() {
    const AdapterState state = adapter_->Open().state;
    return state == AdapterState::Ready || state == AdapterState::Absent;
}

bool Session::IsPlugged() {
    return adapter_->Open().state != AdapterState::Absent;
}

PluginStatus Session::ChipPresent(std::uint32_t& value) {
    const PluginStatus status = OnChip([](Eeprom24& chip) { return chip.Probe(); });
    if (status == PluginStatus::NoAnswer) {
        value = 0;
        return PluginStatus::Ok;
    }
    value = status == PluginStatus::Ok ? 1 : 0;
    return status;
}

std::string Session::FirmwareText() const {
    std::string text = adapter_->Name();
    return text.empty() ? "i2c-" + std::to_string(port_.adapter) : text;
}

template <typename Operation>
PluginStatus Session::OnChip(Operation&& operation) {
    if (cancelled_.load()) {
        return PluginStatus::Cancelled;
    }
    const AdapterConnection connection = adapter_->Open();
    if (!connection.transport) {
        return PluginStatus::HardwareError;
    }
    if (cancelled_.load()) {
        return PluginStatus::Cancelled;
    }
    Eeprom24 chip(*connection.transport, {port_.address, port_.pageSize, wideAddresses_.load()});
    const PluginStatus status = operation(chip);
    return cancelled_.load() ? PluginStatus::Cancelled : status;
}

PluginStatus Session::Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) {
    done = 0;
    return OnChip([&](Eeprom24& chip) { return chip.Read(address, buffer, done); });
}

PluginStatus Session::Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done) {
    done = 0;
    return OnChip([&](Eeprom24& chip) { return chip.Write(address, data, done); });
}

}  // namespace tessaly
