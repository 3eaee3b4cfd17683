#pragma once

#include <cstdint>

namespace tessaly {

// The plug-in's statuses. The host passes 1 to 4 on unchanged, so each failure keeps its own number for
// whoever reads them (docs/hardware.md lists them for users).
enum class Status : std::int32_t {
    Ok = 0,
    // The chip did not acknowledge its address: busy with a write cycle, absent, or at another address.
    NotAcknowledged = 1,
    // The call itself was wrong: unknown session or facility, null pointer, an address the port cannot
    // reach, a port name that does not parse.
    InvalidRequest = 2,
    // The adapter failed: its device file cannot be opened, it went away, or it reported a bus error, a
    // timeout or a transfer it cannot do.
    AdapterError = 3,
    // PGM_Reset ended the transfer.
    Cancelled = 4,
};

constexpr std::int32_t ToInt(Status status) {
    return static_cast<std::int32_t>(status);
}

}  // namespace tessaly
