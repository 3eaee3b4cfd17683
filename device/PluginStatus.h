#pragma once

#include <cstdint>

namespace tessaly {

// The host's status scale. A plug-in's own statuses pass through MapPluginStatus before anyone sees them, so
// every caller deals with 0 to 4 only; every value but kPluginOk is a failure.
using PluginStatus = std::int32_t;

inline constexpr PluginStatus kPluginOk = 0;
// Attach opened no session, or a session was already open.
inline constexpr PluginStatus kPluginNoSession = 1;
// What any status outside 0 to 4 becomes.
inline constexpr PluginStatus kPluginFailed = 2;
// The host did not call the plug-in: it is not loaded, or a session call found no session open.
inline constexpr PluginStatus kPluginNotReady = 3;

constexpr PluginStatus MapPluginStatus(std::int32_t status) {
    return status >= 0 && status <= 4 ? status : kPluginFailed;
}

}  // namespace tessaly
