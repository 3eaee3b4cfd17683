#include <algorithm>
#include <array>
#include <string>

#include "engine/Unit.h"
#include "engine/ValueText.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

constexpr std::uint32_t kBitChoices = 2;

ByteOrder OrderOf(const NumRecord& record) {
    return (record.flags & kNumBigEndian) != 0 ? ByteOrder::Big : ByteOrder::Little;
}

// Scaled values can leave the 32-bit range, and a hand-made scale can make them NaN; they saturate rather
// than convert out of range.
std::uint32_t SaturatedUint32(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    if (value >= 4294967295.0) {
        return 0xFFFFFFFF;
    }
    return static_cast<std::uint32_t>(value);
}

// The choices the user can pick from: the stored count, which is 0 for 256 or more texts.
std::uint32_t EditableChoices(const EnumRecord& record) {
    return record.texts == nullptr ? 0 : record.count;
}

// The choices a stored value can show: all 2^width texts, even when the count could not hold their number.
std::uint32_t ReadableChoices(const EnumRecord& record) {
    if (record.texts == nullptr || record.count != 0) {
        return EditableChoices(record);
    }
    const int width = static_cast<int>(LastBit(record.bits)) - static_cast<int>(FirstBit(record.bits)) + 1;
    return width > 0 ? 1u << width : 0;
}

const char* TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The text shown for value: present and not empty.
bool ShownChoice(const char* const* texts, std::uint32_t count, std::uint32_t value, std::string& text) {
    if (value >= count || texts[value] == nullptr || *texts[value] == '\0') {
        return false;
    }
    text = texts[value];
    return true;
}

bool ChoiceAt(const char* const* texts, std::uint32_t count, std::uint32_t value, std::string& text) {
    if (value >= count) {
        return false;
    }
    text = TextOrEmpty(texts[value]);
    return true;
}

// A STRING field: an optional length counter, then room bytes for the text.
struct StringLayout {
    std::uint32_t counterSize = 0;
    std::uint32_t room = 0;
    // The counter's order flag reads the other way round from numbers: set means low byte first.
    bool counterLowByteFirst = false;
};

bool LayoutOf(const StringRecord& record, const ItemMask& mask, StringLayout& layout) {
    const std::uint32_t counterSize = record.flags & kStringCounterWidthMask;
    if (counterSize > 2 || counterSize >= mask.count) {
        return false;
    }
    layout = {counterSize, mask.count - counterSize, (record.flags & kStringBigEndian) != 0};
    return true;
}

// A zero-terminated text keeps one byte of its room for the terminator.
std::uint32_t LongestText(const StringLayout& layout) {
    return layout.counterSize == 0 ? layout.room - 1 : layout.room;
}

std::uint32_t StoredLength(const StringLayout& layout, const std::uint8_t* field) {
    if (layout.counterSize == 1) {
        return field[0];
    }
    if (layout.counterSize == 2) {
        const std::uint32_t first = field[0];
        const std::uint32_t second = field[1];
        return layout.counterLowByteFirst ? first | (second << 8) : (first << 8) | second;
    }
    return static_cast<std::uint32_t>(std::find(field, field + layout.room, 0) - field);
}

void StoreLength(const StringLayout& layout, std::uint8_t* field, std::uint32_t length) {
    if (layout.counterSize == 1) {
        field[0] = static_cast<std::uint8_t>(length);
    } else if (layout.counterSize == 2) {
        const auto low = static_cast<std::uint8_t>(length);
        const auto high = static_cast<std::uint8_t>(length >> 8);
        field[0] = layout.counterLowByteFirst ? low : high;
        field[1] = layout.counterLowByteFirst ? high : low;
    }
}

bool StringText(const StringRecord& record, const ItemMask& mask, const std::uint8_t* image,
                std::string& text) {
    StringLayout layout;
    if (!LayoutOf(record, mask, layout)) {
        return false;
    }
    const std::uint8_t* field = image + mask.offset;
    const std::uint32_t length = std::min(StoredLength(layout, field), layout.room);
    text.assign(reinterpret_cast<const char*>(field + layout.counterSize), length);
    return true;
}

void StoreString(const StringRecord& record, const ItemMask& mask, std::uint8_t* image,
                 std::string_view text) {
    StringLayout layout;
    if (!LayoutOf(record, mask, layout)) {
        return;
    }
    std::uint8_t* field = image + mask.offset;
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), layout.room));
    StoreLength(layout, field, length);
    std::copy_n(text.data(), length, field + layout.counterSize);
    if (layout.counterSize == 0 && length < layout.room) {
        field[length] = 0;
    }
}

bool NumText(const Unit& unit, const NumRecord& record, const ItemMask& mask, std::string& text) {
    const std::uint32_t raw = unit.ReadMasked(mask, OrderOf(record));
    const std::uint32_t shown = SaturatedUint32(static_cast<double>(raw) * static_cast<double>(record.scale));
    return FormatValueText(shown, record.base, text);
}

ValueCheck JudgeNumber(const NumRecord& record, std::string_view text) {
    double typed = 0.0;
    if (!ParseValueText(text, record.base, typed)) {
        return ValueCheck::CannotJudge;
    }
    const double stored = typed / static_cast<double>(record.scale);
    if (stored < record.minimum) {
        return ValueCheck::BelowMinimum;
    }
    if (stored > record.maximum) {
        return ValueCheck::WrongOrAboveMaximum;
    }
    return ValueCheck::Valid;
}

void StoreNumber(Unit& unit, const NumRecord& record, const ItemMask& mask, std::string_view text) {
    double typed = 0.0;
    if (ParseValueText(text, record.base, typed)) {
        const std::uint32_t raw = SaturatedUint32(typed / static_cast<double>(record.scale));
        unit.WriteMasked(mask, OrderOf(record), raw);
    }
}

ValueCheck JudgeString(const StringRecord& record, const ItemMask& mask, std::string_view text) {
    StringLayout layout;
    if (!LayoutOf(record, mask, layout)) {
        return ValueCheck::CannotJudge;
    }
    return text.size() > LongestText(layout) ? ValueCheck::WrongOrAboveMaximum : ValueCheck::Valid;
}

void StoreChoice(Unit& unit, const ItemMask& mask, const char* const* texts, std::uint32_t count,
                 std::string_view text) {
    const int choice = FindText(text, texts, static_cast<int>(count));
    if (choice >= 0) {
        unit.WriteMasked(mask, ByteOrder::Little, static_cast<std::uint32_t>(choice));
    }
}

ValueCheck JudgeChoice(const char* const* texts, std::uint32_t count, std::string_view text) {
    return FindText(text, texts, static_cast<int>(count)) >= 0 ? ValueCheck::Valid
                                                               : ValueCheck::WrongOrAboveMaximum;
}

ValueCheck Judge(const TemplateItem& item, const ItemMask& mask, std::string_view text) {
    switch (item.kind) {
        case ItemKind::Bit:
            return JudgeChoice(item.RecordAs<BitRecord>().texts, kBitChoices, text);
        case ItemKind::Enum: {
            const auto& record = item.RecordAs<EnumRecord>();
            return JudgeChoice(record.texts, EditableChoices(record), text);
        }
        case ItemKind::Num:
            return JudgeNumber(item.RecordAs<NumRecord>(), text);
        case ItemKind::String:
            return JudgeString(item.RecordAs<StringRecord>(), mask, text);
        case ItemKind::Static:
        case ItemKind::Title:
            return ValueCheck::Valid;
        case ItemKind::Time:
        case ItemKind::Relative:
        case ItemKind::Checksum:
        case ItemKind::Crc:
            return ValueCheck::CannotJudge;
    }
    return ValueCheck::CannotJudge;
}

std::string BaseWord(NumberBase base) {
    constexpr std::array<std::uint16_t, 3> kWords = {msg::kBaseBinary, msg::kBaseDecimal,
                                                     msg::kBaseHexadecimal};
    const auto index = static_cast<std::uint32_t>(base);
    return index < kWords.size() ? GetMessageText(kWords[index]) : "";
}

std::string FormattedOrEmpty(std::uint32_t value, NumberBase base) {
    std::string text;
    FormatValueText(value, base, text);
    return text;
}

std::string DescribeBit(const BitRecord& record) {
    return std::string(GetMessageText(msg::kKindBit)) + ":  \r\n[" + TextOrEmpty(record.texts[0]) + "]\r\n[" +
           TextOrEmpty(record.texts[1]) + "]";
}

std::string DescribeEnum(const EnumRecord& record) {
    std::string text = std::string(GetMessageText(msg::kKindChoice)) + ":";
    for (std::uint32_t i = 0; i < EditableChoices(record); ++i) {
        if (record.texts[i] != nullptr) {
            text += std::string("\r\n   [") + record.texts[i] + "]";
        }
    }
    return text;
}

std::string DescribeNum(const NumRecord& record) {
    return std::string(GetMessageText(msg::kKindNumber)) + " (" + BaseWord(record.base) + "):\r\n   " +
           FormattedOrEmpty(record.minimum, record.base) + "-" +
           FormattedOrEmpty(record.maximum, record.base);
}

std::string DescribeString(const StringRecord& record, const ItemMask& mask) {
    StringLayout layout;
    if (!LayoutOf(record, mask, layout)) {
        return {};
    }
    return std::string(GetMessageText(msg::kKindString)) + " (" + GetMessageText(msg::kUpTo) + " " +
           std::to_string(LongestText(layout)) + " " + GetMessageText(msg::kCharacters) + ")";
}

}  // namespace

bool Unit::GetValueText(std::uint32_t index, std::string& text) const {
    ItemMask mask;
    const TemplateItem* item = MaskedItem(index, mask);
    if (item == nullptr || dataImage == nullptr) {
        return false;
    }
    switch (item->kind) {
        case ItemKind::Bit:
            return ShownChoice(item->RecordAs<BitRecord>().texts, kBitChoices,
                               ReadMasked(mask, ByteOrder::Little), text);
        case ItemKind::Enum: {
            const auto& record = item->RecordAs<EnumRecord>();
            return ShownChoice(record.texts, ReadableChoices(record), ReadMasked(mask, ByteOrder::Little),
                               text);
        }
        case ItemKind::Num:
            return NumText(*this, item->RecordAs<NumRecord>(), mask, text);
        case ItemKind::String:
            return StringText(item->RecordAs<StringRecord>(), mask, dataImage, text);
        default:
            return false;
    }
}

ValueCheck Unit::ValidateValueText(std::uint32_t index, std::string_view text) const {
    ItemMask mask;
    const TemplateItem* item = MaskedItem(index, mask);
    return item == nullptr ? ValueCheck::CannotJudge : Judge(*item, mask, text);
}

bool Unit::SetValueText(std::uint32_t index, std::string_view text) {
    ItemMask mask;
    const TemplateItem* item = MaskedItem(index, mask);
    if (item == nullptr || dataImage == nullptr || Judge(*item, mask, text) != ValueCheck::Valid) {
        return false;
    }
    switch (item->kind) {
        case ItemKind::Bit:
            StoreChoice(*this, mask, item->RecordAs<BitRecord>().texts, kBitChoices, text);
            return true;
        case ItemKind::Enum: {
            const auto& record = item->RecordAs<EnumRecord>();
            StoreChoice(*this, mask, record.texts, EditableChoices(record), text);
            return true;
        }
        case ItemKind::Num:
            StoreNumber(*this, item->RecordAs<NumRecord>(), mask, text);
            return true;
        case ItemKind::String:
            StoreString(item->RecordAs<StringRecord>(), mask, dataImage, text);
            return true;
        default:
            return false;
    }
}

bool Unit::GetChoiceText(std::uint32_t index, std::uint32_t value, std::string& text) const {
    ItemMask mask;
    const TemplateItem* item = MaskedItem(index, mask);
    if (item == nullptr) {
        return false;
    }
    if (item->kind == ItemKind::Bit) {
        return ChoiceAt(item->RecordAs<BitRecord>().texts, kBitChoices, value, text);
    }
    if (item->kind == ItemKind::Enum) {
        const auto& record = item->RecordAs<EnumRecord>();
        return ChoiceAt(record.texts, ReadableChoices(record), value, text);
    }
    return false;
}

std::string Unit::DescribeItem(std::uint32_t index) const {
    ItemMask mask;
    const TemplateItem* item = MaskedItem(index, mask);
    if (item == nullptr) {
        return {};
    }
    switch (item->kind) {
        case ItemKind::Bit:
            return DescribeBit(item->RecordAs<BitRecord>());
        case ItemKind::Enum:
            return DescribeEnum(item->RecordAs<EnumRecord>());
        case ItemKind::Num:
            return DescribeNum(item->RecordAs<NumRecord>());
        case ItemKind::String:
            return DescribeString(item->RecordAs<StringRecord>(), mask);
        default:
            return {};
    }
}

bool Unit::SetItemEnabled(std::uint32_t index, bool enabled) {
    TemplateItem* item = ItemInUse(index);
    if (item == nullptr) {
        return false;
    }
    item->enabled = enabled ? 1 : 0;
    return true;
}

bool Unit::IsListedItem(std::uint32_t index) const {
    const TemplateItem* item = ItemInUse(index);
    if (item == nullptr) {
        return false;
    }
    switch (item->kind) {
        case ItemKind::Static:
        case ItemKind::Relative:
        case ItemKind::Checksum:
        case ItemKind::Crc:
            return false;
        default:
            return true;
    }
}

}  // namespace tessaly
