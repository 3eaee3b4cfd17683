#include "cli/PluginPorts.h"

#include "device/PluginHost.h"

namespace tessaly {
namespace {

// Room for the port list. The desktop's Options dialog offers what fits in 256 bytes; a shell has room for
// every port of a plug-in that drives a few hundred adapters.
constexpr std::uint32_t kPortListRoom = 64 * 1024;

}  // namespace

std::vector<std::string> PluginPorts(const ProgrammerPlugin& plugin) {
    std::string ports;
    plugin.EnumeratePorts(ports, kPortListRoom);
    return SplitPortList(ports);
}

}  // namespace tessaly
