#pragma once

#include <memory>
#include <vector>

#include "plugins/ch341a/UsbLocation.h"
#include "plugins/ch341a/UsbTransport.h"

namespace tessaly {

// The CH341A programmers attached to the computer, and access to one of them.
class UsbBus {
  public:
    virtual ~UsbBus() = default;

    virtual std::vector<UsbLocation> Programmers() = 0;
    // The opened programmer at location; null when it is not there, the user may not open it, or another
    // program has it.
    virtual std::unique_ptr<UsbTransport> Open(const UsbLocation& location) = 0;
};

}  // namespace tessaly
