#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "plugins/ch341a/Ch341Port.h"
#include "plugins/ch341a/UsbBus.h"
#include "plugins/common/PluginStatus.h"

namespace tessaly {

// One attached port: the programmer at a USB location and the chip it drives. The programmer is opened
// at the first transfer or chip query and let go when it fails (unplugged, say), to be opened again at
// the next one. The device worker calls the session from its own thread; Reset may come from the
// user-interface thread at any time, so the flag it sets is atomic.
//
// Reset ends the transfer in progress before its next USB packet, at most one USB timeout later, and fails
// every later Read and Write at once with Cancelled, until the session is queried or set up again
// (GetFacility, or SetFacility other than the I/O delay), which the host does before its next operation.
class Ch341Session {
  public:
    Ch341Session(Ch341Port port, std::shared_ptr<UsbBus> bus)
        : port_(std::move(port)), bus_(std::move(bus)) {}

    // Identified always (the port names a programmer); plugged while a CH341A is at the location; a chip
    // present when it answers; the block size is the page the transfers keep to.
    PluginStatus GetFacility(std::uint32_t code, std::uint32_t& value);
    // Power is always on (0 or 1 accepted), the addressing mode takes 0 or 1, the I/O delay is accepted.
    PluginStatus SetFacility(std::uint32_t code, std::uint32_t value);

    std::string FirmwareText() const;
    void Reset() { cancelled_.store(true); }

    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done);
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done);

  private:
    // Opens the programmer if need be and runs operation on the chip, unless a Reset stands; a failed
    // transfer lets the programmer go. An unopenable programmer is HardwareError.
    template <typename Operation>
    PluginStatus OnChip(Operation&& operation);
    PluginStatus Open();
    bool IsPlugged();
    std::uint32_t BlockSize() const;

    const Ch341Port port_;
    const std::shared_ptr<UsbBus> bus_;
    std::unique_ptr<UsbTransport> transport_;
    std::atomic<bool> wideAddresses_{false};
    std::atomic<bool> cancelled_{false};
};

}  // namespace tessaly
