#pragma once

#include <cstdint>
#include <string_view>

#include "engine/Unit.h"

namespace tessaly {

inline constexpr std::uint32_t kUnitListCapacity = 32;

// The units of a template in script order; names are unique (case-sensitive).
class UnitList {
  public:
    bool Init(Unit** unitArray, std::uint32_t listCapacity);

    Unit* GetAt(std::uint32_t index) const;
    Unit* FindByName(std::string_view name) const;
    bool Add(Unit* unit);

    std::uint32_t GetCurrent() const { return current; }
    bool SetCurrent(std::uint32_t index);

    std::uint32_t capacity = 0;
    std::uint32_t count = 0;
    std::uint32_t current = 0;
    Unit** units = nullptr;
};

}  // namespace tessaly
