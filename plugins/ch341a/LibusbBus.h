#pragma once

#include <memory>
#include <vector>

#include "plugins/ch341a/UsbBus.h"

struct libusb_context;

namespace tessaly {

// The CH341A programmers (USB 1a86:5512) through libusb-1.0: interface 0, bulk endpoints 0x02 out and
// 0x82 in. Each object has a libusb context of its own, so that copies of the plug-in share nothing.
class LibusbBus : public UsbBus {
  public:
    static constexpr std::uint16_t kVendor = 0x1A86;
    static constexpr std::uint16_t kProduct = 0x5512;

    // Null when libusb cannot start (no USB in this system).
    static std::shared_ptr<LibusbBus> Create();
    ~LibusbBus() override;
    LibusbBus(const LibusbBus&) = delete;
    LibusbBus& operator=(const LibusbBus&) = delete;

    std::vector<UsbLocation> Programmers() override;
    std::unique_ptr<UsbTransport> Open(const UsbLocation& location) override;

    // Whether a programmer is attached that the user may not open. Asks the system only, without taking
    // the programmer from a session that has it.
    bool HasForbiddenProgrammer();

  private:
    explicit LibusbBus(libusb_context* context) : context_(context) {}

    libusb_context* context_;
};

}  // namespace tessaly
