#pragma once

#include <cstdint>

namespace tessaly {

// The simulator's statuses; the host reads every non-zero one as a failure and passes 1 to 4 on.
enum class SimStatus : std::int32_t {
    Ok = 0,
    // The chip did not answer: busy with its write cycle, not powered, absent, or a faked read or write
    // failure. Trying again may work.
    NoAcknowledge = 1,
    // Unknown session or code, a null pointer, an address beyond the chip, a value out of range.
    InvalidRequest = 2,
    // Ended by PGM_Reset.
    Cancelled = 3,
    // The transfer cannot work as asked: the addressing mode does not suit the chip, the programmer is
    // unplugged, or the simulator's files cannot be written.
    AccessError = 4,
};

}  // namespace tessaly
