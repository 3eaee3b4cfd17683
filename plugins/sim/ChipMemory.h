#pragma once

#include <cstdint>
#include <span>

namespace tessaly {

// Where a simulated chip keeps its bytes. The chip only asks for ranges inside its capacity.
class ChipMemory {
  public:
    virtual ~ChipMemory() = default;

    // Fills data with the bytes from offset on; false when they cannot be had.
    virtual bool Read(std::uint32_t offset, std::span<std::uint8_t> data) = 0;
    // Stores data from offset on; false when it could not be stored.
    virtual bool Write(std::uint32_t offset, std::span<const std::uint8_t> data) = 0;
};

}  // namespace tessaly
