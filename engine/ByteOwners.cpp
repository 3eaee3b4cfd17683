#include "engine/ByteOwners.h"

#include <algorithm>

namespace tessaly {

ByteOwners::ByteOwners(const Unit& unit) : imageSize_(unit.ImageSize()) {
    if (unit.HasFixedByte() && imageSize_ != 0) {
        owners_.push_back({0, kNoItem, 0xFF, true});
    }
    ItemMask mask;
    for (std::uint32_t item = 0; item < unit.itemCount; ++item) {
        if (!unit.BuildItemMask(mask, item)) {
            continue;
        }
        const bool programmed = unit.GetItem(item)->enabled != 0;
        for (std::uint32_t i = 0; i < mask.count; ++i) {
            if (mask.bytes[i] != 0) {
                owners_.push_back({mask.offset + i, item, mask.bytes[i], programmed});
            }
        }
    }
    // Items were taken in index order, so a stable sort keeps that order within each byte.
    std::stable_sort(owners_.begin(), owners_.end(),
                     [](const ByteOwner& a, const ByteOwner& b) { return a.offset < b.offset; });
}

std::span<const ByteOwner> ByteOwners::At(std::uint32_t offset) const {
    const auto [first, last] =
        std::equal_range(owners_.begin(), owners_.end(), ByteOwner{offset, 0, 0, false},
                         [](const ByteOwner& a, const ByteOwner& b) { return a.offset < b.offset; });
    return {first, last};
}

std::vector<std::uint8_t> ByteOwners::ProgramMask() const {
    std::vector<std::uint8_t> mask(imageSize_, 0);
    for (const ByteOwner& owner : owners_) {
        if (owner.programmed) {
            mask[owner.offset] |= owner.bits;
        }
    }
    return mask;
}

}  // namespace tessaly
