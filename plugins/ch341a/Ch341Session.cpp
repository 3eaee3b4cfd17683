#include "plugins/ch341a/Ch341Session.h"

#include <algorithm>

#include "device/PluginInterface.h"
#include "plugins/ch341a/Ch341I2c.h"
#include "plugins/ch341a/Ch341Spi.h"

namespace tessaly {

PluginStatus Ch341Session::GetFacility(std::uint32_t code, std::uint32_t& value) {
    cancelled_.store(false);
    switch (code) {
        case PGM_SESSION_HARDWARE_IDENTIFIED:
            value = 1;
            return PluginStatus::Ok;
        case PGM_SESSION_HARDWARE_PLUGGED:
            value = IsPlugged() ? 1 : 0;
            return PluginStatus::Ok;
        case PGM_SESSION_CHIP_PRESENT: {
            const PluginStatus status = OnChip([](auto& chip) { return chip.Probe(); });
            value = status == PluginStatus::Ok ? 1 : 0;
            return status == PluginStatus::NoAnswer ? PluginStatus::Ok : status;
        }
        case PGM_SESSION_BLOCK_SIZE:
            value = BlockSize();
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

PluginStatus Ch341Session::SetFacility(std::uint32_t code, std::uint32_t value) {
    switch (code) {
        case PGM_SESSION_POWER:
            cancelled_.store(false);
            return value <= 1 ? PluginStatus::Ok : PluginStatus::InvalidRequest;
        case PGM_SESSION_WIDE_ADDRESSING:
            cancelled_.store(false);
            if (value > 1) {
                return PluginStatus::InvalidRequest;
            }
            wideAddresses_.store(value == 1);
            return PluginStatus::Ok;
        case PGM_SESSION_IO_DELAY:
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

std::string Ch341Session::FirmwareText() const {
    const std::string place = "CH341A " + port_.location.Format() + ", ";
    if (port_.i2cClock) {
        return place + "I2C at " + std::string(I2cClocks()[*port_.i2cClock]) + "Hz";
    }
    const SpiChip& chip = *port_.spiChip;
    return place + std::string(chip.name) + " on SPI, " + std::to_string(chip.pageSize) + "-byte pages";
}

PluginStatus Ch341Session::Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) {
    done = 0;
    // The host's buffer may be larger than it asks for; a transfer never leaves the block.
    const std::uint32_t block = BlockSize();
    const auto within = buffer.first(std::min<std::size_t>(buffer.size(), block - address % block));
    return OnChip([&](auto& chip) { return chip.Read(address, within, done); });
}

PluginStatus Ch341Session::Write(std::uint32_t address, std::span<const std::uint8_t> data,
                                 std::uint32_t& done) {
    done = 0;
    return OnChip([&](auto& chip) { return chip.Write(address, data, done); });
}

template <typename Operation>
PluginStatus Ch341Session::OnChip(Operation&& operation) {
    if (cancelled_.load()) {
        return PluginStatus::Cancelled;
    }
    if (const PluginStatus opened = Open(); opened != PluginStatus::Ok) {
        return opened;
    }
    Ch341Link link(*transport_, cancelled_);
    PluginStatus status;
    if (port_.i2cClock) {
        Ch341I2c chip(link, wideAddresses_.load());
        status = operation(chip);
    } else {
        Ch341Spi chip(link, *port_.spiChip);
        status = operation(chip);
    }
    if (status == PluginStatus::HardwareError) {
        transport_.reset();
    }
    return status;
}

PluginStatus Ch341Session::Open() {
    if (transport_ != nullptr) {
        return PluginStatus::Ok;
    }
    transport_ = bus_->Open(port_.location);
    if (transport_ == nullptr) {
        return PluginStatus::HardwareError;
    }
    if (!port_.i2cClock) {
        return PluginStatus::Ok;
    }
    Ch341Link link(*transport_, cancelled_);
    const PluginStatus status = Ch341I2c(link, false).SetClock(*port_.i2cClock);
    if (status != PluginStatus::Ok) {
        transport_.reset();
    }
    return status;
}

bool Ch341Session::IsPlugged() {
    const std::vector<UsbLocation> programmers = bus_->Programmers();
    const bool plugged =
        std::find(programmers.begin(), programmers.end(), port_.location) != programmers.end();
    if (!plugged) {
        transport_.reset();
    }
    return plugged;
}

std::uint32_t Ch341Session::BlockSize() const {
    return port_.i2cClock ? Ch341I2c::PageSize(wideAddresses_.load()) : port_.spiChip->pageSize;
}

}  // namespace tessaly
