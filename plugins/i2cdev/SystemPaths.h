#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tessaly {

// Where the plug-in looks for adapters: the device files /dev/i2c-N and their names in sysfs. Tests and
// people trying the plug-in without hardware point both elsewhere with TESSALY_I2C_DEV_ROOT (instead of
// /dev) and TESSALY_I2C_SYS_ROOT (instead of /sys); an unset or empty variable keeps the default.
struct SystemPaths {
    std::filesystem::path devRoot = "/dev";
    std::filesystem::path sysRoot = "/sys";

    // Read at every use, not kept: the library holds no state of its own between calls.
    static SystemPaths FromEnvironment();

    std::filesystem::path DeviceFile(std::uint32_t adapter) const;
    // The files that may hold the adapter's name, best first.
    std::vector<std::filesystem::path> NameFiles(std::uint32_t adapter) const;
    // The i2c-dev class directory, there while the kernel's i2c-dev interface is loaded.
    std::filesystem::path I2cDevClass() const;
};

}  // namespace tessaly
