#pragma once

#include <cstdint>

namespace tessaly {

// The statuses every plug-in hands the host; their meanings are written in device/PluginInterface.h.
enum class PluginStatus : std::int32_t {
    Ok = 0,
    NoAnswer = 1,
    InvalidRequest = 2,
    Cancelled = 3,
    HardwareError = 4,
};

constexpr std::int32_t ToInt(PluginStatus status) {
    return static_cast<std::int32_t>(status);
}

}  // namespace tessaly
