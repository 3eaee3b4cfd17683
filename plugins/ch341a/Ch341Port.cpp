#include "plugins/ch341a/Ch341Port.h"

#include <algorithm>
#include <array>

namespace tessaly {
namespace {

constexpr std::array<std::string_view, 4> kI2cClocks{"20k", "100k", "400k", "750k"};
constexpr std::string_view kI2cMode = "I2C ";

// Microchip's 25LC names; other makers' 25xx of the same size and page work the same.
constexpr std::array<SpiChip, 6> kSpiChips{{
    {"25LC320", 4 * 1024, 32},
    {"25LC640", 8 * 1024, 32},
    {"25LC128", 16 * 1024, 64},
    {"25LC256", 32 * 1024, 64},
    {"25LC512", 64 * 1024, 128},
    {"25LC1024", 128 * 1024, 256},
}};

}  // namespace

std::span<const std::string_view> I2cClocks() {
    return kI2cClocks;
}

std::span<const SpiChip> SpiChips() {
    return kSpiChips;
}

std::string Ch341Port::Format() const {
    const std::string place = location.Format() + ' ';
    return i2cClock ? place + std::string(kI2cMode) + std::string(kI2cClocks.at(*i2cClock))
                    : place + std::string(spiChip->name);
}

std::optional<Ch341Port> Ch341Port::Parse(std::string_view text) {
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    const auto location = UsbLocation::Parse(text.substr(0, space));
    if (!location) {
        return std::nullopt;
    }
    const std::string_view mode = text.substr(space + 1);
    Ch341Port port{*location, std::nullopt, nullptr};
    if (mode.starts_with(kI2cMode)) {
        const auto clock = std::find(kI2cClocks.begin(), kI2cClocks.end(), mode.substr(kI2cMode.size()));
        if (clock == kI2cClocks.end()) {
            return std::nullopt;
        }
        port.i2cClock = static_cast<std::uint8_t>(clock - kI2cClocks.begin());
        return port;
    }
    const auto chip = std::find_if(kSpiChips.begin(), kSpiChips.end(),
                                   [&](const SpiChip& candidate) { return candidate.name == mode; });
    if (chip == kSpiChips.end()) {
        return std::nullopt;
    }
    port.spiChip = &*chip;
    return port;
}

std::vector<std::string> Ch341Port::List(std::span<const UsbLocation> locations) {
    std::vector<std::string> names;
    const auto add = [&](const Ch341Port& port) {
        if (std::string name = port.Format(); name.size() <= kMaxLength) {
            names.push_back(std::move(name));
        }
    };
    for (const UsbLocation& location : locations) {
        for (std::uint8_t clock = 0; clock < kI2cClocks.size(); ++clock) {
            add({location, clock, nullptr});
        }
        for (const SpiChip& chip : kSpiChips) {
            add({location, std::nullopt, &chip});
        }
    }
    return names;
}

}  // namespace tessaly
