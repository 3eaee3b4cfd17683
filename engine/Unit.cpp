#include "engine/Unit.h"

#include <algorithm>

namespace tessaly {

bool Unit::Init(const char* unitName, BusKind unitBus, std::uint32_t unitFlags, std::uint8_t unitFixedByte,
                TemplateItem** itemArray, std::uint32_t capacity) {
    name = unitName;
    bus = unitBus;
    flags = unitFlags;
    fixedByte = unitFixedByte;
    start = HasFixedByte() ? 0 : kNoAddress;
    end = 0;
    itemCapacity = capacity;
    itemCount = 0;
    items = itemArray;
    dataImage = nullptr;
    programMask = nullptr;
    return unitName != nullptr && itemArray != nullptr && static_cast<std::uint32_t>(unitBus) < 3 &&
           capacity != 0;
}

bool Unit::AddItem(TemplateItem* item) {
    if (item == nullptr || items == nullptr || itemCount >= itemCapacity) {
        return false;
    }
    items[itemCount++] = item;
    return true;
}

TemplateItem* Unit::GetItem(std::uint32_t index) const {
    if (!HasSlot(index) || items == nullptr) {
        return nullptr;
    }
    return items[index];
}

TemplateItem* Unit::ItemInUse(std::uint32_t index) const {
    return index < itemCount ? GetItem(index) : nullptr;
}

const TemplateItem* Unit::MaskedItem(std::uint32_t index, ItemMask& mask) const {
    return BuildItemMask(mask, index) ? ItemInUse(index) : nullptr;
}

void Unit::Widen(std::uint32_t first, std::uint32_t last) {
    start = std::min(start, first);
    end = std::max(end, last);
}

}  // namespace tessaly
