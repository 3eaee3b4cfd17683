#include "plugins/i2cdev/PortList.h"

#include <array>

#include "plugins/i2cdev/PortName.h"
#include "plugins/i2cdev/ReservedAdapter.h"

namespace tessaly {
namespace {

constexpr std::array<std::uint32_t, 5> kListedPageSizes{8, 16, 32, 64, 128};
constexpr std::uint8_t kFirstEepromAddress = 0x50;
constexpr std::uint8_t kLastEepromAddress = 0x57;

void AddIfItFits(std::vector<std::string>& names, const PortName& port) {
    std::string name = port.Format();
    if (name.size() <= PortName::kMaxLength) {
        names.push_back(std::move(name));
    }
}

void AddPortsOf(std::vector<std::string>& names, std::uint32_t adapter) {
    PortName port{adapter, kFirstEepromAddress, PortName::kDefaultPageSize};
    AddIfItFits(names, port);
    for (const std::uint32_t pageSize : kListedPageSizes) {
        port.pageSize = pageSize;
        AddIfItFits(names, port);
    }
    port.pageSize = PortName::kDefaultPageSize;
    for (std::uint8_t address = kFirstEepromAddress + 1; address <= kLastEepromAddress; ++address) {
        port.address = address;
        AddIfItFits(names, port);
    }
}

}  // namespace

std::vector<std::string> ListPorts(std::span<const AdapterInfo> adapters) {
    std::vector<std::string> names;
    for (const AdapterInfo& adapter : adapters) {
        if (!IsReservedAdapter(adapter.name)) {
            AddPortsOf(names, adapter.number);
        }
    }
    return names;
}

std::span<const std::uint32_t> ListedPageSizes() {
    return kListedPageSizes;
}

}  // namespace tessaly
