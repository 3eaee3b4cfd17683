#pragma once

#include <memory>
#include <vector>

#include "plugins/ch341a/UsbLocation.h"
#include "plugins/ch341a/UsbTransport.h"

namespace tessaly {

// Why a programmer could not be opened.
enum class OpenFailure {
    None,
    // Nothing at that location.
    Absent,
    // The device is there, but the user may not open it (no udev rule).
    NoPermission,
    // Claimed by another program, or any other refusal.
    Refused,
};

// The CH341A programmers attached to the computer, and access to one of them.
class UsbBus {
  public:
    virtual ~UsbBus() = default;

    virtual std::vector<UsbLocation> Programmers() = 0;
    // The opened programmer at location, or null with failure saying why.
    virtual std::unique_ptr<UsbTransport> Open(const UsbLocation& location, OpenFailure& failure) = 0;
};

}  // namespace tessaly
