#pragma once

#include <string>

#include "plugins/i2cdev/I2cAdapter.h"
#include "plugins/i2cdev/I2cTransport.h"

namespace tessaly {

// An open /dev/i2c-N: transfers go to the kernel as I2C_RDWR.
class I2cDevFile : public I2cTransport {
  public:
    // Opens path and checks with I2C_FUNCS that the adapter can send plain I2C messages. Neither touches
    // the bus.
    static AdapterConnection Open(const std::string& path);

    ~I2cDevFile() override;
    I2cDevFile(const I2cDevFile&) = delete;
    I2cDevFile& operator=(const I2cDevFile&) = delete;

    PluginStatus Transfer(std::span<const I2cMessage> messages) override;

  private:
    explicit I2cDevFile(int descriptor) : descriptor_(descriptor) {}

    int descriptor_;
};

}  // namespace tessaly
