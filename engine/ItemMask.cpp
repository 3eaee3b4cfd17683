#include "engine/ItemMask.h"

#include <algorithm>
#include <bit>

#include "engine/Unit.h"

namespace tessaly {
namespace {

// Bits n..7 of a byte. Bit numbers run up to 15 in a BitRange; from 8 on they name no bit of the byte.
std::uint8_t BitsFrom(std::uint32_t n) {
    return n >= 8 ? 0 : static_cast<std::uint8_t>(0xFFu << n);
}

// Bits 0..n of a byte.
std::uint8_t BitsUpTo(std::uint32_t n) {
    return static_cast<std::uint8_t>(~BitsFrom(n + 1));
}

// The run of set bits of a mask byte: its lowest bit and its width. Masks built here are one run per byte.
struct BitRun {
    std::uint32_t shift;
    std::uint32_t width;
};

BitRun RunOf(std::uint8_t maskByte) {
    const auto shift = static_cast<std::uint32_t>(std::countr_zero(maskByte));
    const auto width =
        static_cast<std::uint32_t>(std::countr_one(static_cast<std::uint8_t>(maskByte >> shift)));
    return {shift, width};
}

void EmptyMask(ItemMask& mask) {
    mask.count = 0;
    mask.offset = 0;
}

}  // namespace

bool Unit::LocateInImage(const Location& location, std::uint32_t& offset, std::uint32_t& count) const {
    // A backwards location has a wrapped size and lies nowhere; end = start - 1 is an empty one.
    const bool backwards = location.end + 1u < location.start;
    if (backwards || location.start < start) {
        return false;
    }
    const std::uint32_t size = LocationSize(&location);
    const std::uint64_t position = location.start - start;
    if (position + size > ImageSize()) {
        return false;
    }
    offset = static_cast<std::uint32_t>(position);
    count = size;
    return true;
}

bool Unit::BuildByteMask(ItemMask& mask, const Location& location) const {
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    if (LocationSize(&location) > kItemMaskCapacity || !LocateInImage(location, offset, count)) {
        return false;
    }
    mask.offset = offset;
    mask.count = count;
    std::fill_n(mask.bytes.begin(), count, std::uint8_t{0xFF});
    return true;
}

bool Unit::BuildBitMask(ItemMask& mask, const Location& location, BitRange bits, ByteOrder order) const {
    if (!BuildByteMask(mask, location)) {
        return false;
    }
    if (mask.count == 0 || (order == ByteOrder::Big && bits == kWholeBytes)) {
        return true;
    }
    const std::uint32_t first = FirstBit(bits);
    const std::uint32_t last = LastBit(bits);
    std::uint8_t& firstByte = mask.bytes[0];
    std::uint8_t& lastByte = mask.bytes[mask.count - 1];
    if (order == ByteOrder::Little) {
        firstByte &= BitsFrom(first);
        lastByte &= BitsUpTo(last);
    } else {
        firstByte &= BitsUpTo(first);
        lastByte &= BitsFrom(last);
    }
    return true;
}

bool Unit::BuildItemMask(ItemMask& mask, std::uint32_t index) const {
    const TemplateItem* item = ItemInUse(index);
    if (item == nullptr) {
        return false;
    }
    switch (item->kind) {
        case ItemKind::Bit: {
            const auto& record = item->RecordAs<BitRecord>();
            return BuildBitMask(mask, record.location, record.bits, ByteOrder::Little);
        }
        case ItemKind::Enum: {
            const auto& record = item->RecordAs<EnumRecord>();
            return BuildBitMask(mask, record.location, record.bits, ByteOrder::Little);
        }
        case ItemKind::Static: {
            const auto& record = item->RecordAs<StaticRecord>();
            return BuildBitMask(mask, record.location, record.bits, ByteOrder::Little);
        }
        case ItemKind::Num: {
            const auto& record = item->RecordAs<NumRecord>();
            const ByteOrder order = (record.flags & kNumBigEndian) != 0 ? ByteOrder::Big : ByteOrder::Little;
            return BuildBitMask(mask, record.location, record.bits, order);
        }
        case ItemKind::Relative: {
            const auto& record = item->RecordAs<RelativeRecord>();
            const ByteOrder order =
                (record.flags & kRelativeBigEndian) != 0 ? ByteOrder::Big : ByteOrder::Little;
            return BuildBitMask(mask, record.location, record.bits, order);
        }
        case ItemKind::String:
            return BuildByteMask(mask, item->RecordAs<StringRecord>().location);
        case ItemKind::Checksum:
            return BuildByteMask(mask, item->RecordAs<ChecksumRecord>().location);
        case ItemKind::Crc: {
            const auto& record = item->RecordAs<CrcRecord>();
            if ((record.flags & kCrcDefined) != 0) {
                return BuildByteMask(mask, record.location);
            }
            EmptyMask(mask);
            return true;
        }
        case ItemKind::Time:
        case ItemKind::Title:
            EmptyMask(mask);
            return true;
    }
    return false;
}

std::uint32_t Unit::ReadMasked(const ItemMask& mask, ByteOrder order) const {
    if (dataImage == nullptr) {
        return 0;
    }
    std::uint32_t value = 0;
    const auto take = [&](std::uint32_t i) {
        const std::uint8_t m = mask.bytes[i];
        if (m == 0) {
            return;
        }
        const BitRun run = RunOf(m);
        value =
            (value << run.width) | static_cast<std::uint32_t>((dataImage[mask.offset + i] & m) >> run.shift);
    };
    if (order == ByteOrder::Little) {
        for (std::uint32_t i = mask.count; i-- > 0;) {
            take(i);
        }
    } else {
        for (std::uint32_t i = 0; i < mask.count; ++i) {
            take(i);
        }
    }
    return value;
}

void Unit::WriteMasked(const ItemMask& mask, ByteOrder order, std::uint32_t value) {
    if (dataImage == nullptr) {
        return;
    }
    const auto put = [&](std::uint32_t i) {
        const std::uint8_t m = mask.bytes[i];
        if (m == 0) {
            return;
        }
        const BitRun run = RunOf(m);
        std::uint8_t& d = dataImage[mask.offset + i];
        d = static_cast<std::uint8_t>((((value & 0xFFu) << run.shift) & m) | (d & ~m));
        value >>= run.width;
    };
    if (order == ByteOrder::Little) {
        for (std::uint32_t i = 0; i < mask.count; ++i) {
            put(i);
        }
    } else {
        for (std::uint32_t i = mask.count; i-- > 0;) {
            put(i);
        }
    }
}

}  // namespace tessaly
