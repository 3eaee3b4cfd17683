#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "plugins/i2cdev/AdapterDiscovery.h"

namespace tessaly {

// The ports offered for the adapters, in the order the Options dialog shows them. Adapters that lead to a
// display or to memory modules are left out (see ReservedAdapter.h). For each other adapter:
//   i2c-N:50, i2c-N:50/8, i2c-N:50/16, i2c-N:50/32, i2c-N:50/64, i2c-N:50/128, i2c-N:51 ... i2c-N:57
// Most boards tie a single chip's address pins low, so 0x50 gets every common page size; the other
// addresses get the default page size, which every chip accepts, and keep the list short: the host lists
// ports from a buffer of 256 bytes, which holds one adapter's 13 names and most of a second's. Any other
// port can be typed into the Port setting (docs/hardware.md).
std::vector<std::string> ListPorts(std::span<const AdapterInfo> adapters);

// The page sizes listed for address 0x50 besides the default.
std::span<const std::uint32_t> ListedPageSizes();

}  // namespace tessaly
