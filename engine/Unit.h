#pragma once

#include <cstdint>

#include "engine/ModelTypes.h"
#include "engine/TemplateItem.h"

namespace tessaly {

inline constexpr std::uint32_t kUnitItemCapacity = 1024;
inline constexpr std::uint32_t kUnitFixedByte = 0x01;
inline constexpr std::uint32_t kNoAddress = 0xFFFFFFFF;

// One memory area of the device: its items in script order and, once the document has built them, its data
// image and program mask covering addresses start..end.
class Unit {
  public:
    bool Init(const char* unitName, BusKind unitBus, std::uint32_t unitFlags, std::uint8_t unitFixedByte,
              TemplateItem** itemArray, std::uint32_t capacity);

    bool AddItem(TemplateItem* item);
    bool HasSlot(std::uint32_t index) const { return index < itemCapacity; }
    TemplateItem* GetItem(std::uint32_t index) const;

    bool HasFixedByte() const { return (flags & kUnitFixedByte) != 0; }
    // Widens start..end to cover first..last (unsigned comparison).
    void Widen(std::uint32_t first, std::uint32_t last);
    // end - start + 1, the size of both images.
    std::uint32_t ImageSize() const { return end - start + 1u; }

    const char* name = nullptr;
    std::uint32_t flags = 0;
    BusKind bus = BusKind::I2C8;
    std::uint8_t fixedByte = 0;
    std::uint32_t start = kNoAddress;
    std::uint32_t end = 0;
    std::uint32_t itemCapacity = 0;
    std::uint32_t itemCount = 0;
    TemplateItem** items = nullptr;
    std::uint8_t* dataImage = nullptr;
    std::uint8_t* programMask = nullptr;
};

}  // namespace tessaly
