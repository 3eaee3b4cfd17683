#pragma once

#include <cstdint>

namespace tessaly {

// What the device worker's poll last found, from "no plug-in" to "ready to program".
enum class DeviceState : std::uint32_t {
    NoPlugin = 0,
    NoDriver = 1,
    HardwareUndefined = 2,
    Ready = 3,
    NoChip = 4,
    HardwareUnplugged = 5,
};

inline constexpr std::uint32_t kDeviceStateCount = 6;

// The number of the message that names the state; the "No plugin" message for a value out of range.
std::uint16_t DeviceStateMessage(DeviceState state);

}  // namespace tessaly
