#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Unit.h"

namespace tessaly {

// One difference between the chip's bytes and the expected ones: an item, or a byte whose masked bits no
// item owns (item kNoItem, named "@ADDRESS" with four hex digits), with the value text each side shows.
// Kinds without a value text (constants, derived fields) and unowned bytes show their bytes in hex.
struct ItemDifference {
    std::uint32_t item = kNoItem;
    std::string name;
    std::string chip;
    std::string expected;
};

// The value text item index shows when the unit's images hold image instead of its data image; the item's
// bytes in hex for kinds without a value text.
std::string ValueTextIn(const Unit& unit, std::uint32_t index, const std::uint8_t* image);

// Whether the item's bits differ between the two images, under mask when it is not null.
bool ItemDiffers(const Unit& unit, std::uint32_t index, const std::uint8_t* chip,
                 const std::uint8_t* expected, const std::uint8_t* mask = nullptr);

// Every item with a differing bit under the unit's program mask, in index order, then the masked bits no
// item owns, by address. Both images have the unit's ImageSize().
std::vector<ItemDifference> ListMaskedDifferences(const Unit& unit, const std::uint8_t* chip,
                                                  const std::uint8_t* expected);

// The listed items (enabled ones only, unless everyItem) whose value differs between the two images.
std::vector<ItemDifference> ListChangedItems(const Unit& unit, const std::uint8_t* chip,
                                             const std::uint8_t* expected, bool everyItem);

}  // namespace tessaly
