#pragma once

#include <span>

#include "plugins/common/PluginStatus.h"
#include "plugins/i2cdev/I2cMessage.h"

namespace tessaly {

// An open I2C adapter. Everything the EEPROM logic puts on the bus goes through Transfer, so tests can put
// an emulated chip in place of the kernel.
class I2cTransport {
  public:
    virtual ~I2cTransport() = default;

    // Runs the messages as one transfer: repeated starts between them and one stop at the end. Returns
    // Ok, NotAcknowledged when a chip did not answer its address, or AdapterError.
    virtual PluginStatus Transfer(std::span<const I2cMessage> messages) = 0;
};

}  // namespace tessaly
