#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ItemMask.h"
#include "engine/ModelTypes.h"
#include "engine/TemplateItem.h"
#include "engine/ValueCheck.h"

namespace tessaly {

inline constexpr std::uint32_t kUnitItemCapacity = 1024;
inline constexpr std::uint32_t kUnitFixedByte = 0x01;
inline constexpr std::uint32_t kNoAddress = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoItem = 0xFFFFFFFF;

// One memory area of the device: its items in script order and, once the document has built them, its data
// image and program mask covering addresses start..end.
//
// The codec operations below address an item by its index. They never write outside the images: every
// access is checked against ImageSize(), whatever locations the template gave. Item values live only in
// the data image; the program mask marks the bits of enabled items and of the fixed byte.
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

    // Images (UnitImages.cpp). The caller allocates both buffers with ImageSize() bytes; InitImages fills
    // them (data with fill, mask with 0, then the fixed byte) and the unit uses them from then on. False,
    // with nothing changed, when a buffer is missing. Without images the operations below that need them
    // do nothing or fail.
    bool InitImages(std::uint8_t fill, std::uint8_t* data, std::uint8_t* mask);
    void MarkFixedByte();
    void WriteFixedByte();
    // Claims every item's bits in the program mask, in index order, and gives the index of the first item
    // that shares a bit with an earlier one or with the fixed byte, or whose mask cannot be built; kNoItem
    // when there is none. Expects the mask InitImages left; without images it reports item 0.
    std::uint32_t CheckCollisions();
    // The index of the first item whose mask cannot be built; kNoItem when every item has one. Needs no
    // images, so it can name the item that makes a unit too large to have them.
    std::uint32_t FirstUnmaskableItem() const;
    // Sets each item's bits in the program mask when it is enabled and clears them when it is not.
    void UpdateProgramMask();
    // Writes the constants and derived fields into the data image, whatever the enabled flags: STATIC and
    // RELATIVE first, then CHECKSUM and CRC fields in index order, so that each sum sees the first pass.
    void PrepareDerivedFields();

    // Masks (ItemMask.cpp). A mask fails when it would need more than kItemMaskCapacity bytes or when its
    // location does not lie inside the images.
    bool BuildItemMask(ItemMask& mask, std::uint32_t index) const;
    bool BuildByteMask(ItemMask& mask, const Location& location) const;
    // Big-endian fields read their bits most significant first: from bit first of the first byte down to
    // bit last of the last byte. A big-endian field with the default range kWholeBytes covers whole bytes.
    bool BuildBitMask(ItemMask& mask, const Location& location, BitRange bits, ByteOrder order) const;
    // The masked bits of the data image as one number; a field wider than 32 bits keeps its low 32 bits.
    std::uint32_t ReadMasked(const ItemMask& mask, ByteOrder order) const;
    // Stores value in the masked bits; the other bits keep their contents.
    void WriteMasked(const ItemMask& mask, ByteOrder order, std::uint32_t value);
    // The image positions of location: false when it runs backwards or does not lie inside the images.
    bool LocateInImage(const Location& location, std::uint32_t& offset, std::uint32_t& count) const;

    // Values (UnitValues.cpp), for the item list. An index past the item count, a kind without a text
    // form or an item whose mask cannot be built makes each of them fail without touching the images.
    bool GetValueText(std::uint32_t index, std::string& text) const;
    ValueCheck ValidateValueText(std::uint32_t index, std::string_view text) const;
    // Writes nothing unless ValidateValueText accepts text.
    bool SetValueText(std::uint32_t index, std::string_view text);
    // The text for value of a BIT or ENUM item; absent texts read as empty.
    bool GetChoiceText(std::uint32_t index, std::uint32_t value, std::string& text) const;
    // The tooltip of the item, composed from the message table; empty for kinds without a value.
    std::string DescribeItem(std::uint32_t index) const;
    bool SetItemEnabled(std::uint32_t index, bool enabled);
    // False for the kinds the user never edits: constants and derived fields.
    bool IsListedItem(std::uint32_t index) const;

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

  private:
    // The item at index when index < itemCount, else null.
    TemplateItem* ItemInUse(std::uint32_t index) const;
    // As ItemInUse, and only when the item's mask can be built into mask.
    const TemplateItem* MaskedItem(std::uint32_t index, ItemMask& mask) const;
};

}  // namespace tessaly
