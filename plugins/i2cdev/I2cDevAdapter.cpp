#include "plugins/i2cdev/I2cDevAdapter.h"

#include "plugins/i2cdev/AdapterName.h"
#include "plugins/i2cdev/I2cDevFile.h"

namespace tessaly {

AdapterConnection I2cDevAdapter::Open() {
    return I2cDevFile::Open(paths_.DeviceFile(number_).string());
}

std::string I2cDevAdapter::Name() const {
    return ReadAdapterName(paths_, number_);
}

}  // namespace tessaly
