#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/i2cdev/SystemPaths.h"

namespace tessaly {

struct AdapterInfo {
    std::uint32_t number = 0;
    std::string name;  // empty when sysfs does not say
};

// The adapters whose device files i2c-N are in the device root, in ascending number, with their names.
// Only directory entries and sysfs files are read: nothing is opened for I/O and nothing reaches a bus.
// At most kMaxAdapters are reported.
std::vector<AdapterInfo> FindAdapters(const SystemPaths& paths);

// Whether the kernel's i2c-dev interface is there: its sysfs class or any adapter device file.
bool IsI2cDevPresent(const SystemPaths& paths);

constexpr std::size_t kMaxAdapters = 256;

}  // namespace tessaly
