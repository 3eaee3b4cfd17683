#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "plugins/common/PluginStatus.h"
#include "plugins/i2cdev/I2cAdapter.h"
#include "plugins/i2cdev/PortName.h"

namespace tessaly {

// One attached port: everything behind a session handle. The device worker calls it from its own thread;
// Reset and SetFacility(PGM_SESSION_IO_DELAY) may come from the user-interface thread at the same time,
// so what they touch is atomic.
//
// Reset ends the transfer in progress and fails every later Read and Write at once with Cancelled, until
// the session is queried or set up again (GetFacility, or SetFacility other than the I/O delay). The
// host's operations go from block to block without such calls, so an operation stopped between two
// blocks ends at its next block rather than running to its end; its next poll starts with a query.
// A transfer itself cannot be interrupted: a Reset takes effect once the one I2C_RDWR in flight returns,
// which takes one block at bus speed, or the adapter's own timeout when the bus is stuck.
class Session {
  public:
    Session(PortName port, std::unique_ptr<I2cAdapter> adapter) : port_(port), adapter_(std::move(adapter)) {}

    // The PGM_SESSION_ codes: hardware identified, hardware plugged, chip present, block size.
    PluginStatus GetFacility(std::uint32_t code, std::uint32_t& value);
    // The PGM_SESSION_ codes: power and the I/O delay (accepted, nothing to do), wide addressing.
    PluginStatus SetFacility(std::uint32_t code, std::uint32_t value);

    // The adapter's name, or its device name when the kernel gives none.
    std::string FirmwareText() const;

    void Reset() { cancelled_.store(true); }

    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done);
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done);

  private:
    // The answers to the host's "identified" and "plugged" questions (Session.cpp says why they differ).
    bool IsIdentified();
    bool IsPlugged();
    PluginStatus ChipPresent(std::uint32_t& value);
    // Opens the adapter and runs operation on the chip, unless a Reset stands; a Reset that comes while it
    // runs turns its status into Cancelled.
    template <typename Operation>
    PluginStatus OnChip(Operation&& operation);

    const PortName port_;
    const std::unique_ptr<I2cAdapter> adapter_;
    std::atomic<bool> wideAddresses_{false};
    std::atomic<bool> cancelled_{false};
};

}  // namespace tessaly
