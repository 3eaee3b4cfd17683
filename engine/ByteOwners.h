#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/Unit.h"

namespace tessaly {

// One owner's bits in one byte of a unit's images.
struct ByteOwner {
    std::uint32_t offset;  // position in the images
    std::uint32_t item;    // the item's index; kNoItem for the unit's fixed byte
    std::uint8_t bits;     // the owner's bits of the byte, as in its item mask
    bool programmed;       // the owner's bits are programmed: the item is enabled, or it is the fixed byte
};

// Which items own the bits of each byte of a unit, found from the item masks: what the desktop's hex view
// shows and what the command line's program mask is made of. A picture of the unit as it is when made:
// after a change of enabled flags make a new one. Items whose mask cannot be built own nothing; a unit
// that loaded has none.
class ByteOwners {
  public:
    explicit ByteOwners(const Unit& unit);

    // The owners of the byte at offset in item order, the fixed byte first; empty for a byte that no item
    // owns and for an offset past the images.
    std::span<const ByteOwner> At(std::uint32_t offset) const;
    // The program mask as the unit's enabled flags make it: for each byte of the images, the bits of its
    // programmed owners.
    std::vector<std::uint8_t> ProgramMask() const;

  private:
    std::uint32_t imageSize_;
    // Sorted by offset, and by item within an offset.
    std::vector<ByteOwner> owners_;
};

}  // namespace tessaly
