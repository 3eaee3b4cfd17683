#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Where a USB device is plugged: its bus and the port numbers from the root hub down, written as the
// kernel writes it ("1-1.4": bus 1, port 4 of the hub on port 1). It stays the same while the device
// stays in the same socket, across unplugging and plugging in again.
struct UsbLocation {
    // USB allows seven tiers of hubs.
    static constexpr std::size_t kMaxDepth = 7;

    std::uint8_t bus = 0;
    std::vector<std::uint8_t> ports;

    std::string Format() const;
    // Nothing for a text that is not a bus and one to seven ports, each a number up to 255.
    static std::optional<UsbLocation> Parse(std::string_view text);

    bool operator==(const UsbLocation&) const = default;
};

}  // namespace tessaly
