#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "plugins/i2cdev/SystemPaths.h"

namespace tessaly::test {

// A temporary stand-in for /dev and /sys: adapters are regular files dev/i2c-N, their names are files
// sys/class/i2c-dev/i2c-N/name. Everything is removed at the end.
class FakeSystemTree {
  public:
    FakeSystemTree();
    ~FakeSystemTree();
    FakeSystemTree(const FakeSystemTree&) = delete;
    FakeSystemTree& operator=(const FakeSystemTree&) = delete;

    SystemPaths Paths() const { return {root_ / "dev", root_ / "sys"}; }

    // Adds dev/i2c-N and, unless name is empty, its sysfs name file with name and a newline.
    void AddAdapter(std::uint32_t number, std::string_view name);
    // Writes a file under the root with exactly these bytes, creating its directories.
    void Write(const std::filesystem::path& relative, std::string_view contents) const;
    std::filesystem::path Root() const { return root_; }

  private:
    std::filesystem::path root_;
};

// Sets TESSALY_I2C_DEV_ROOT and TESSALY_I2C_SYS_ROOT to a fake tree while it lives.
class ScopedSystemRoots {
  public:
    explicit ScopedSystemRoots(const SystemPaths& paths);
    ~ScopedSystemRoots();
    ScopedSystemRoots(const ScopedSystemRoots&) = delete;
    ScopedSystemRoots& operator=(const ScopedSystemRoots&) = delete;
};

}  // namespace tessaly::test
