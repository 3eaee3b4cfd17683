#include "plugins/ch341a/Ch341Link.h"

namespace tessaly {

PluginStatus Ch341Link::Send(std::span<const std::uint8_t> command, bool evenWhenCancelled) {
    if (cancelled_.load() && !evenWhenCancelled) {
        return PluginStatus::Cancelled;
    }
    return transport_.Send(command) == UsbResult::Ok ? PluginStatus::Ok : PluginStatus::HardwareError;
}

PluginStatus Ch341Link::Exchange(std::span<const std::uint8_t> command, std::span<std::uint8_t> answer) {
    if (const PluginStatus sent = Send(command); sent != PluginStatus::Ok) {
        return sent;
    }
    std::size_t received = 0;
    if (transport_.Receive(answer, received) != UsbResult::Ok || received != answer.size()) {
        return PluginStatus::HardwareError;
    }
    return PluginStatus::Ok;
}

}  // namespace tessaly
