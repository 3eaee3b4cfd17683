#include "engine/ItemArguments.h"

#include <algorithm>
#include <cmath>

#include "engine/CrcAlgorithm.h"
#include "engine/KeywordTable.h"
#include "engine/ScriptFields.h"
#include "engine/ScriptNumbers.h"

namespace tessaly {
namespace {

constexpr int kMaxNumBytes = 4;

ItemSpan SpanOf(std::uint32_t first, std::uint32_t last) {
    return {true, first, last};
}

ItemSpan SpanOf(const Location& location) {
    return SpanOf(location.start, location.end);
}

ItemSpan SpanOf(const Location& a, const Location& b) {
    return SpanOf(std::min(a.start, b.start), std::max(a.end, b.end));
}

const char* TextOrAbsent(std::string_view text, TemplateHeap& heap) {
    return text.empty() ? nullptr : heap.CopyText(text);
}

int BitWidth(BitRange bits) {
    return static_cast<int>(LastBit(bits)) - static_cast<int>(FirstBit(bits)) + 1;
}

ParseError ParseBit(const EntryBody& body, TemplateHeap& heap, BitRecord& record, ItemSpan& span) {
    if (body.argc != 3) {
        return ParseError::InvalidArgumentNumber;
    }
    if (!ParseLocation(body.Arg(1), record.location, &record.bits)) {
        return ParseError::InvalidSyntax;
    }
    record.texts[0] = TextOrAbsent(body.Arg(2), heap);
    record.texts[1] = TextOrAbsent(body.Arg(3), heap);
    span = SpanOf(record.location);
    return ParseError::None;
}

ParseError ParseEnum(const EntryBody& body, TemplateHeap& heap, EnumRecord& record, ItemSpan& span) {
    if (body.argc < 3) {
        return ParseError::InvalidArgumentNumber;
    }
    if (!ParseLocation(body.Arg(1), record.location, &record.bits)) {
        return ParseError::InvalidSyntax;
    }
    const int width = BitWidth(record.bits);
    if (width <= 0 || body.argc != (1 << width) + 1) {
        return ParseError::InvalidArgumentNumber;
    }
    const int count = 1 << width;
    record.count = static_cast<std::uint8_t>(count);
    const char** texts = heap.NewArray<const char*>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        texts[i] = TextOrAbsent(body.Arg(i + 2), heap);
    }
    record.texts = texts;
    span = SpanOf(record.location);
    return ParseError::None;
}

// One of the optional NUM arguments: a base, a byte order or a scale.
bool ApplyNumOption(std::string_view arg, NumRecord& record) {
    if (const int base = FindKeyword(arg, kBaseKeywords); base >= 0) {
        record.base = static_cast<NumberBase>(base);
        return true;
    }
    if (const int order = FindKeyword(arg, kByteOrderKeywords); order >= 0) {
        record.flags = static_cast<std::uint8_t>(order == 1 ? record.flags | kNumBigEndian
                                                            : record.flags & ~kNumBigEndian);
        return true;
    }
    float scale = 0.0f;
    // An infinite scale would turn every value into an out-of-range conversion, so it counts as malformed.
    if (ParseScale(arg, scale) && scale > 0.0f && std::isfinite(scale)) {
        record.scale = scale;
        record.flags |= kNumScaled;
        return true;
    }
    return false;
}

ParseError ParseNum(const EntryBody& body, NumRecord& record, ItemSpan& span) {
    if (body.argc < 3 || body.argc > 5) {
        return ParseError::InvalidArgumentNumber;
    }
    if (!ParseLocation(body.Arg(1), record.location, &record.bits)) {
        return ParseError::InvalidSyntax;
    }
    if (LocationSize(&record.location) > kMaxNumBytes) {
        return ParseError::InvalidArgumentNumber;
    }
    if (!ParseRange(body.Arg(2), record.minimum, record.maximum)) {
        return ParseError::InvalidSyntax;
    }
    for (int i = 3; i <= body.argc; ++i) {
        if (!ApplyNumOption(body.Arg(i), record)) {
            return ParseError::InvalidSyntax;
        }
    }
    span = SpanOf(record.location);
    return ParseError::None;
}

ParseError ParseStatic(const EntryBody& body, TemplateHeap& heap, StaticRecord& record, ItemSpan& span) {
    if (body.argc < 1) {
        return ParseError::InvalidArgumentNumber;
    }
    if (!ParseLocation(body.Arg(1), record.location, &record.bits)) {
        return ParseError::InvalidSyntax;
    }
    const std::uint32_t size = LocationSize(&record.location);
    const std::uint32_t values = static_cast<std::uint32_t>(body.argc - 1);
    std::uint32_t count = 1;
    if (record.bits == kWholeBytes) {
        if (size != 1 && size != values) {
            return ParseError::InvalidArgumentNumber;
        }
        count = values;
    } else if (size != 1 || body.argc > 3) {
        return ParseError::InvalidArgumentNumber;
    }
    std::uint8_t* bytes = heap.NewArray<std::uint8_t>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t value = 0;
        if (!ParseNumber(body.Arg(static_cast<int>(i) + 2), Radix::Hexadecimal, value)) {
            return ParseError::InvalidSyntax;
        }
        bytes[i] = static_cast<std::uint8_t>(value);
    }
    record.bytes = bytes;
    const std::uint32_t first = record.location.start;
    const std::uint32_t last = first + count - 1;
    record.location.end = static_cast<std::uint16_t>(last);
    span = SpanOf(first, last);
    return ParseError::None;
}

ParseError ParseTitleEntry(const EntryBody& body, TitleRecord& record) {
    record.spacing = 0;
    if (body.argc > 1) {
        return ParseError::InvalidArgumentNumber;
    }
    if (body.argc == 1) {
        std::uint32_t spacing = 0;
        if (!ParseNumber(body.Arg(1), Radix::Decimal, spacing)) {
            return ParseError::InvalidSyntax;
        }
        if (spacing > 255) {
            return ParseError::InvalidArgumentValue;
        }
        record.spacing = static_cast<std::uint8_t>(spacing);
    }
    return ParseError::None;
}

// The arguments after COUNTER: byte-order keywords and counter widths of 1 or 2, each width taking its
// bytes from the room left for text.
ParseError ParseCounterOptions(const EntryBody& body, StringRecord& record, int& room) {
    for (int i = 3; i <= body.argc; ++i) {
        const std::string_view arg = body.Arg(i);
        if (const int order = FindKeyword(arg, kByteOrderKeywords); order >= 0) {
            record.flags = static_cast<std::uint8_t>(order == 1 ? record.flags | kStringBigEndian
                                                                : record.flags & ~kStringBigEndian);
            continue;
        }
        std::uint32_t width = 0;
        if (!ParseNumber(arg, Radix::Hexadecimal, width)) {
            return ParseError::InvalidSyntax;
        }
        if (width != 1 && width != 2) {
            return ParseError::InvalidArgumentValue;
        }
        record.flags = static_cast<std::uint8_t>((record.flags & ~kStringCounterWidthMask) | width);
        room -= static_cast<int>(width);
    }
    return ParseError::None;
}

ParseError ParseString(const EntryBody& body, StringRecord& record, ItemSpan& span) {
    if (!ParseLocation(body.Arg(1), record.location, nullptr)) {
        return ParseError::InvalidSyntax;
    }
    const int mode = FindKeyword(body.Arg(2), kStringModeKeywords);
    if (mode < 0) {
        return ParseError::InvalidSyntax;
    }
    record.flags = 0;
    int room = static_cast<int>(record.location.end) - static_cast<int>(record.location.start) + 1;
    if (mode == 0) {
        if (body.argc != 2) {
            return ParseError::InvalidArgumentNumber;
        }
    } else if (const ParseError error = ParseCounterOptions(body, record, room); error != ParseError::None) {
        return error;
    }
    if (room <= 0) {
        return ParseError::NotEnoughMemory;
    }
    span = SpanOf(record.location);
    return ParseError::None;
}

// The arguments after the two locations: byte-order keywords, then at most one operation with its operand.
ParseError ParseRelativeOperation(const EntryBody& body, RelativeRecord& record) {
    for (int i = 3; i <= body.argc; ++i) {
        const std::string_view arg = body.Arg(i);
        if (const int order = FindKeyword(arg, kByteOrderKeywords); order >= 0) {
            record.flags = static_cast<std::uint8_t>(order == 1 ? record.flags | kRelativeBigEndian
                                                                : record.flags & ~kRelativeBigEndian);
            continue;
        }
        const int op = FindKeyword(arg, kOperationKeywords);
        if (op < 0) {
            return ParseError::InvalidSyntax;
        }
        record.flags = static_cast<std::uint8_t>((record.flags & ~kRelativeOpMask) | op);
        const auto operation = static_cast<RelativeOp>(op);
        if (operation == RelativeOp::Not || operation == RelativeOp::Copy) {
            return i == body.argc ? ParseError::None : ParseError::InvalidArgumentNumber;
        }
        if (i + 1 != body.argc) {
            return ParseError::InvalidArgumentNumber;
        }
        if (!ParseNumber(body.Arg(i + 1), Radix::Hexadecimal, record.operand)) {
            return ParseError::InvalidSyntax;
        }
        // A division by zero has no value to program, so such a template is refused outright.
        if (operation == RelativeOp::Div && record.operand == 0) {
            return ParseError::InvalidArgumentValue;
        }
        return ParseError::None;
    }
    return ParseError::None;
}

ParseError ParseRelative(const EntryBody& body, RelativeRecord& record, ItemSpan& span) {
    if (!ParseLocation(body.Arg(1), record.location, &record.bits) ||
        !ParseLocation(body.Arg(2), record.sourceLocation, &record.sourceBits)) {
        return ParseError::InvalidSyntax;
    }
    record.operand = 0;
    // Without an operation keyword the target is a copy of the source.
    record.flags = static_cast<std::uint8_t>(RelativeOp::Copy);
    if (const ParseError error = ParseRelativeOperation(body, record); error != ParseError::None) {
        return error;
    }
    span = SpanOf(record.location, record.sourceLocation);
    return ParseError::None;
}

ParseError ParseChecksum(const EntryBody& body, ChecksumRecord& record, ItemSpan& span) {
    if (!ParseLocation(body.Arg(1), record.location, nullptr) ||
        !ParseLocation(body.Arg(2), record.range, nullptr)) {
        return ParseError::InvalidSyntax;
    }
    // Zeros fill and little-endian unless the entry says otherwise.
    record.flags = kChecksumZeros;
    for (int i = 3; i <= body.argc; ++i) {
        const std::string_view arg = body.Arg(i);
        if (const int order = FindKeyword(arg, kByteOrderKeywords); order >= 0) {
            record.flags = static_cast<std::uint8_t>(order == 1 ? record.flags | kChecksumBigEndian
                                                                : record.flags & ~kChecksumBigEndian);
        } else if (const int fill = FindKeyword(arg, kChecksumFillKeywords); fill >= 0) {
            record.flags = static_cast<std::uint8_t>(fill == 0 ? record.flags | kChecksumZeros
                                                               : record.flags & ~kChecksumZeros);
        } else {
            return ParseError::InvalidSyntax;
        }
    }
    span = SpanOf(record.location, record.range);
    return ParseError::None;
}

// "field, range, ALGORITHM[, LENDIAN|BENDIAN]" defines a computed field; anything else leaves the entry a
// placeholder without memory, which is never an error.
bool ReadCrcDefinition(const EntryBody& body, CrcRecord& record) {
    if (body.argc < 3 || body.argc > 4) {
        return false;
    }
    if (!ParseLocation(body.Arg(1), record.location, nullptr)) {
        return false;
    }
    const std::uint32_t size = LocationSize(&record.location);
    if (size != 1 && size != 2 && size != 4) {
        return false;
    }
    if (!ParseLocation(body.Arg(2), record.range, nullptr) || record.range.start > record.range.end) {
        return false;
    }
    if (!FindCrcAlgorithm(body.Arg(3), record.algorithm)) {
        return false;
    }
    record.flags = kCrcDefined;
    if (body.argc == 4) {
        const int order = FindKeyword(body.Arg(4), kByteOrderKeywords);
        if (order < 0) {
            return false;
        }
        record.flags |= order == 1 ? kCrcBigEndian : 0;
    }
    return true;
}

void ParseCrc(const EntryBody& body, TemplateHeap& heap, CrcRecord& record, ItemSpan& span) {
    if (ReadCrcDefinition(body, record)) {
        span = SpanOf(record.location, record.range);
        return;
    }
    record = CrcRecord{};
    CrcAlgorithm known;
    if (body.argc >= 3 && !FindCrcAlgorithm(body.Arg(3), known)) {
        record.unknownAlgorithm = heap.CopyText(body.Arg(3));
    }
}

template <class Record>
TemplateItem* NewItem(TemplateHeap& heap) {
    return &heap.New<ItemBlock<Record>>()->header;
}

}  // namespace

EntryBody::EntryBody(std::string_view bodyText) : text(bodyText), argc(CountFields(bodyText, ',') - 1) {}

std::string_view EntryBody::Arg(int i) const {
    return GetField(text, ',', i);
}

TemplateItem* CreateItem(ItemKind kind, const char* name, TemplateHeap& heap) {
    TemplateItem* item = nullptr;
    switch (kind) {
        case ItemKind::Bit:
            item = NewItem<BitRecord>(heap);
            break;
        case ItemKind::Enum:
            item = NewItem<EnumRecord>(heap);
            break;
        case ItemKind::Num:
            item = NewItem<NumRecord>(heap);
            break;
        case ItemKind::Static:
            item = NewItem<StaticRecord>(heap);
            break;
        case ItemKind::Title:
            item = NewItem<TitleRecord>(heap);
            break;
        case ItemKind::String:
            item = NewItem<StringRecord>(heap);
            break;
        case ItemKind::Relative:
            item = NewItem<RelativeRecord>(heap);
            break;
        case ItemKind::Checksum:
            item = NewItem<ChecksumRecord>(heap);
            break;
        case ItemKind::Crc:
            item = NewItem<CrcRecord>(heap);
            break;
        case ItemKind::Time:
            item = heap.New<TemplateItem>();
            break;
    }
    item->kind = kind;
    item->enabled = 1;
    item->name = name;
    return item;
}

ParseError ParseItemArguments(TemplateItem& item, const EntryBody& body, TemplateHeap& heap, ItemSpan& span) {
    span = ItemSpan{};
    switch (item.kind) {
        case ItemKind::Bit:
            return ParseBit(body, heap, item.RecordAs<BitRecord>(), span);
        case ItemKind::Enum:
            return ParseEnum(body, heap, item.RecordAs<EnumRecord>(), span);
        case ItemKind::Num:
            return ParseNum(body, item.RecordAs<NumRecord>(), span);
        case ItemKind::Time:
            return ParseError::UnsupportedKeyword;
        case ItemKind::Static:
            return ParseStatic(body, heap, item.RecordAs<StaticRecord>(), span);
        case ItemKind::Title:
            return ParseTitleEntry(body, item.RecordAs<TitleRecord>());
        case ItemKind::String:
            return ParseString(body, item.RecordAs<StringRecord>(), span);
        case ItemKind::Relative:
            return ParseRelative(body, item.RecordAs<RelativeRecord>(), span);
        case ItemKind::Checksum:
            return ParseChecksum(body, item.RecordAs<ChecksumRecord>(), span);
        case ItemKind::Crc:
            ParseCrc(body, heap, item.RecordAs<CrcRecord>(), span);
            return ParseError::None;
    }
    return ParseError::UnsupportedKeyword;
}

}  // namespace tessaly
