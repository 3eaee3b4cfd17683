#include "engine/ItemDifference.h"

#include <cstdio>

#include "engine/ByteOwners.h"

namespace tessaly {
namespace {

std::string HexByte(std::uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string HexBytes(const std::uint8_t* image, std::uint32_t offset, std::uint32_t count) {
    std::string text;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i != 0) {
            text += ' ';
        }
        text += HexByte(image[offset + i]);
    }
    return text;
}

std::string AddressName(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "@%04X", address);
    return text;
}

ItemDifference Describe(const Unit& unit, std::uint32_t index, const std::uint8_t* chip,
                        const std::uint8_t* expected) {
    const TemplateItem* item = unit.GetItem(index);
    return {index, item->name == nullptr ? std::string() : item->name, ValueTextIn(unit, index, chip),
            ValueTextIn(unit, index, expected)};
}

// The bits the unit's items claim in the byte at offset, enabled or not; the fixed byte is no item's.
std::uint8_t ItemBits(const ByteOwners& owners, std::uint32_t offset) {
    std::uint8_t bits = 0;
    for (const ByteOwner& owner : owners.At(offset)) {
        bits |= owner.item != kNoItem ? owner.bits : 0;
    }
    return bits;
}

}  // namespace

std::string ValueTextIn(const Unit& unit, std::uint32_t index, const std::uint8_t* image) {
    Unit view = unit;
    view.dataImage = const_cast<std::uint8_t*>(image);
    std::string text;
    if (view.GetValueText(index, text)) {
        return text;
    }
    ItemMask mask;
    return unit.BuildItemMask(mask, index) ? HexBytes(image, mask.offset, mask.count) : std::string();
}

bool ItemDiffers(const Unit& unit, std::uint32_t index, const std::uint8_t* chip,
                 const std::uint8_t* expected, const std::uint8_t* mask) {
    ItemMask bits;
    if (!unit.BuildItemMask(bits, index)) {
        return false;
    }
    for (std::uint32_t i = 0; i < bits.count; ++i) {
        const std::uint32_t at = bits.offset + i;
        const std::uint8_t under = mask == nullptr ? 0xFF : mask[at];
        if (((chip[at] ^ expected[at]) & bits.bytes[i] & under) != 0) {
            return true;
        }
    }
    return false;
}

std::vector<ItemDifference> ListMaskedDifferences(const Unit& unit, const std::uint8_t* chip,
                                                  const std::uint8_t* expected) {
    std::vector<ItemDifference> differences;
    for (std::uint32_t index = 0; index < unit.itemCount; ++index) {
        if (ItemDiffers(unit, index, chip, expected, unit.programMask)) {
            differences.push_back(Describe(unit, index, chip, expected));
        }
    }
    const ByteOwners owners(unit);
    for (std::uint32_t at = 0; at < unit.ImageSize(); ++at) {
        if (((chip[at] ^ expected[at]) & unit.programMask[at] & ~ItemBits(owners, at)) != 0) {
            differences.push_back(
                {kNoItem, AddressName(unit.start + at), HexByte(chip[at]), HexByte(expected[at])});
        }
    }
    return differences;
}

std::vector<ItemDifference> ListChangedItems(const Unit& unit, const std::uint8_t* chip,
                                             const std::uint8_t* expected, bool everyItem) {
    std::vector<ItemDifference> differences;
    for (std::uint32_t index = 0; index < unit.itemCount; ++index) {
        const bool included = unit.IsListedItem(index) && (everyItem || unit.GetItem(index)->enabled != 0);
        if (included && ItemDiffers(unit, index, chip, expected)) {
            differences.push_back(Describe(unit, index, chip, expected));
        }
    }
    return differences;
}

}  // namespace tessaly
