#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaly {

// How a USB transfer ended.
enum class UsbResult {
    Ok,
    // The device is gone: unplugged, or reset by the system.
    Gone,
    // Anything else: a timeout, a stall, a transfer the device cut short.
    Failed,
};

// The seam where the plug-in meets USB: one opened programmer's bulk endpoints. Every call ends within
// the transport's timeout, whatever the device does.
class UsbTransport {
  public:
    virtual ~UsbTransport() = default;

    // Sends the bytes to the bulk out endpoint, all of them or a failure.
    virtual UsbResult Send(std::span<const std::uint8_t> bytes) = 0;
    // Receives one answer from the bulk in endpoint into buffer; received is how many bytes came, never
    // more than the buffer holds.
    virtual UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) = 0;
};

}  // namespace tessaly
