#pragma once

namespace tessaly {

// What opening an adapter found.
enum class AdapterState {
    Ready,         // open, and it can send plain I2C messages
    Absent,        // no such device file: a USB bridge unplugged or numbered differently
    Inaccessible,  // the device file is there but cannot be opened, most often for lack of permission
    NoPlainI2c,    // open, but the adapter cannot send plain I2C messages (an SMBus-only controller)
};

}  // namespace tessaly
