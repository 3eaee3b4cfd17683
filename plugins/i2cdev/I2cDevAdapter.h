#pragma once

#include <cstdint>

#include "plugins/i2cdev/I2cAdapter.h"
#include "plugins/i2cdev/SystemPaths.h"

namespace tessaly {

// Adapter N reached through the kernel's i2c-dev interface: /dev/i2c-N and its sysfs name.
class I2cDevAdapter : public I2cAdapter {
  public:
    I2cDevAdapter(SystemPaths paths, std::uint32_t number) : paths_(std::move(paths)), number_(number) {}

    AdapterConnection Open() override;
    std::string Name() const override;

  private:
    SystemPaths paths_;
    std::uint32_t number_;
};

}  // namespace tessaly
