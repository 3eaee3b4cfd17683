#include "engine/UnitList.h"

namespace tessaly {

bool UnitList::Init(Unit** unitArray, std::uint32_t listCapacity) {
    units = unitArray;
    capacity = listCapacity;
    count = 0;
    return unitArray != nullptr && listCapacity != 0;
}

Unit* UnitList::GetAt(std::uint32_t index) const {
    return index < count ? units[index] : nullptr;
}

Unit* UnitList::FindByName(std::string_view name) const {
    for (std::uint32_t i = 0; i < count; ++i) {
        if (std::string_view(units[i]->name) == name) {
            return units[i];
        }
    }
    return nullptr;
}

bool UnitList::Add(Unit* unit) {
    if (unit == nullptr || count >= capacity || FindByName(unit->name) != nullptr) {
        return false;
    }
    units[count++] = unit;
    return true;
}

bool UnitList::SetCurrent(std::uint32_t index) {
    if (index < count) {
        current = index;
    }
    return current == index;
}

}  // namespace tessaly
