#include "device/FullUnitImage.h"

#include <algorithm>

namespace tessaly {

FullUnitImage::FullUnitImage(const Unit& unit) : unit_(unit), mask_(unit.ImageSize(), 0xFF) {
    if (unit.dataImage != nullptr) {
        image_.assign(unit.dataImage, unit.dataImage + unit.ImageSize());
    } else {
        image_.assign(unit.ImageSize(), 0xFF);
    }
    unit_.dataImage = image_.data();
    unit_.programMask = mask_.data();
}

bool FullUnitImage::Load(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != image_.size()) {
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), image_.begin());
    return true;
}

}  // namespace tessaly
