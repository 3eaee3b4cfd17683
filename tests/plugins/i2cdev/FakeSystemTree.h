#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "TestFiles.h"
#include "plugins/i2cdev/SystemPaths.h"

namespace tessaly::test {

// A temporary stand-in for /dev and /sys: adapters are regular files dev/i2c-N, their names are files
// sys/class/i2c-dev/i2c-N/name; Write adds anything else.
class FakeSystemTree : public TempDirectory {
  public:
    SystemPaths Paths() const { return {Path() / "dev", Path() / "sys"}; }

    // Adds dev/i2c-N and, unless name is empty, its sysfs name file with name and a newline.
    void AddAdapter(std::uint32_t number, std::string_view name) const {
        const std::string file = "i2c-" + std::to_string(number);
        Write("dev/" + file, "");
        if (!name.empty()) {
            Write("sys/class/i2c-dev/" + file + "/name", std::string(name) + "\n");
        }
    }
};

}  // namespace tessaly::test
