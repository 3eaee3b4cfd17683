#include "plugins/i2cdev/I2cErrno.h"

#include <cerrno>

namespace tessaly {

AdapterState AdapterStateFromOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return AdapterState::Absent;
        default:
            return AdapterState::Inaccessible;
    }
}

PluginStatus StatusFromTransferError(int error) {
    switch (error) {
        case ENXIO:
        case EREMOTEIO:
            return PluginStatus::NoAnswer;
        default:
            return PluginStatus::HardwareError;
    }
}

}  // namespace tessaly
