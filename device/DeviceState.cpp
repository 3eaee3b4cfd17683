#include "device/DeviceState.h"

#include <array>

#include "text/MessageId.h"

namespace tessaly {

std::uint16_t DeviceStateMessage(DeviceState state) {
    constexpr std::array<std::uint16_t, kDeviceStateCount> kMessages = {
        msg::kStateNoPlugin, msg::kStateNoDriver, msg::kStateHardwareUndefined,
        msg::kStateReady,    msg::kStateNoChip,   msg::kStateHardwareUnplugged,
    };
    const auto index = static_cast<std::uint32_t>(state);
    return index < kMessages.size() ? kMessages[index] : msg::kStateNoPlugin;
}

}  // namespace tessaly
