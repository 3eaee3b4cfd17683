#pragma once

#include <memory>
#include <string>

#include "plugins/i2cdev/AdapterState.h"
#include "plugins/i2cdev/I2cTransport.h"

namespace tessaly {

// The result of opening an adapter: a transport exactly when the state is Ready.
struct AdapterConnection {
    AdapterState state = AdapterState::Absent;
    std::unique_ptr<I2cTransport> transport;
};

// One I2C adapter as a session reaches it.
class I2cAdapter {
  public:
    virtual ~I2cAdapter() = default;

    // Opens the adapter for one call. The connection closes when the result is dropped: an open i2c-dev
    // file keeps the kernel from finishing the removal of an unplugged USB bridge, so no session holds one
    // between calls.
    virtual AdapterConnection Open() = 0;

    // The adapter's own name as the system gives it, empty when unknown.
    virtual std::string Name() const = 0;
};

}  // namespace tessaly
