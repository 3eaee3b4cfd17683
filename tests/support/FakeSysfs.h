#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "ScopedEnvironment.h"
#include "TestFiles.h"

namespace tessaly::test {

// A sysfs tree of plain files that TESSALY_SYSFS_ROOT points at for the lifetime of the object.
class FakeSysfs {
  public:
    FakeSysfs() { environment_.Set("TESSALY_SYSFS_ROOT", root_.Path().string()); }

    // sys/bus/nvmem/devices/NAME/nvmem with these bytes.
    std::filesystem::path AddNvmem(std::string_view name, std::string_view bytes) const {
        return root_.Write("sys/bus/nvmem/devices/" + std::string(name) + "/nvmem", bytes);
    }
    const std::filesystem::path& Root() const { return root_.Path(); }

  private:
    TempDirectory root_;
    ScopedEnvironment environment_;
};

}  // namespace tessaly::test
