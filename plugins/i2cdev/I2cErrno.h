#pragma once

#include "plugins/common/PluginStatus.h"
#include "plugins/i2cdev/AdapterState.h"

namespace tessaly {

// What an errno from opening /dev/i2c-N says about the adapter.
AdapterState AdapterStateFromOpenError(int error);

// The status of an I2C_RDWR that failed with error. Adapters report a chip that does not acknowledge its
// address with ENXIO, and many with EREMOTEIO; everything else is the adapter's failure.
PluginStatus StatusFromTransferError(int error);

}  // namespace tessaly
