#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The EEPROMs that a kernel driver already serves as files under sysfs: every
// <root>/sys/bus/nvmem/devices/NAME/nvmem and every legacy <root>/sys/bus/i2c/devices/NAME/eeprom, each
// a port named NAME. The root is / unless TESSALY_SYSFS_ROOT names another folder.
class SysfsPorts {
  public:
    // The host keeps a port name in 16 bytes with its terminator.
    static constexpr std::size_t kMaxNameLength = 15;

    static SysfsPorts FromEnvironment();
    explicit SysfsPorts(std::filesystem::path root) : root_(std::move(root)) {}

    // The names in byte order, so that a name always comes before the longer names it begins; names too
    // long for the host are left out.
    std::vector<std::string> Names() const;
    // The file behind a listed name; nothing for any other name.
    std::optional<std::filesystem::path> File(std::string_view name) const;
    // Whether the kernel offers either kind of memory file at all.
    bool HasDriver() const;

  private:
    std::filesystem::path NvmemDevices() const { return root_ / "sys/bus/nvmem/devices"; }
    std::filesystem::path I2cDevices() const { return root_ / "sys/bus/i2c/devices"; }

    std::filesystem::path root_;
};

}  // namespace tessaly
