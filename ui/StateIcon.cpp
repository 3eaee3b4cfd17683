#include "ui/StateIcon.h"

#include <array>
#include <cstdint>

namespace tessaly {

QString StateIconPath(DeviceState state) {
    // In DeviceState order; the numbers are the icons' resource numbers of the original design.
    static const std::array<QString, kDeviceStateCount> kPaths = {
        QStringLiteral(":/icons/state-unavailable.png"),  // NoPlugin, 171
        QStringLiteral(":/icons/state-unavailable.png"),  // NoDriver, 171
        QStringLiteral(":/icons/state-undefined.png"),    // HardwareUndefined, 167
        QStringLiteral(":/icons/state-ready.png"),        // Ready, 147
        QStringLiteral(":/icons/state-nochip.png"),       // NoChip, 143
        QStringLiteral(":/icons/state-unplugged.png"),    // HardwareUnplugged, 149
    };
    const auto index = static_cast<std::uint32_t>(state);
    return index < kPaths.size() ? kPaths[index] : kPaths[0];
}

}  // namespace tessaly
