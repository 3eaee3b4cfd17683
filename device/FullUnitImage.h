#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/OperationMask.h"
#include "engine/Unit.h"

namespace tessaly {

// A stand-in for a unit that moves every byte of its address range: the unit's items and addresses with
// an image of its own and a program mask with every bit set. A Read into it gives the chip's bytes without
// touching the unit; programming and verifying it (kRestore) puts a backup's bytes back on the chip.
class FullUnitImage {
  public:
    static constexpr OperationMask kRestore = operation::kProgram | operation::kVerify;

    // Starts as a copy of the unit's data image.
    explicit FullUnitImage(const Unit& unit);
    FullUnitImage(const FullUnitImage&) = delete;
    FullUnitImage& operator=(const FullUnitImage&) = delete;

    // Takes bytes as the image; false, changing nothing, when their number is not the unit's size.
    bool Load(std::span<const std::uint8_t> bytes);

    Unit& Target() { return unit_; }
    const std::vector<std::uint8_t>& Bytes() const { return image_; }

  private:
    Unit unit_;
    std::vector<std::uint8_t> image_;
    std::vector<std::uint8_t> mask_;
};

}  // namespace tessaly
