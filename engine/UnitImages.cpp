#include <algorithm>

#include "engine/CrcAlgorithm.h"
#include "engine/Unit.h"

namespace tessaly {
namespace {

ByteOrder OrderOf(std::uint8_t flags, std::uint8_t bigEndianBit) {
    return (flags & bigEndianBit) != 0 ? ByteOrder::Big : ByteOrder::Little;
}

bool SharesBits(const std::uint8_t* programMask, const ItemMask& mask) {
    for (std::uint32_t i = 0; i < mask.count; ++i) {
        if ((programMask[mask.offset + i] & mask.bytes[i]) != 0) {
            return true;
        }
    }
    return false;
}

void SetMaskBits(std::uint8_t* programMask, const ItemMask& mask, bool set) {
    for (std::uint32_t i = 0; i < mask.count; ++i) {
        std::uint8_t& byte = programMask[mask.offset + i];
        byte = static_cast<std::uint8_t>(set ? byte | mask.bytes[i] : byte & ~mask.bytes[i]);
    }
}

// False when op is no operation or would divide by zero; the target then keeps its value.
bool ApplyOperation(RelativeOp op, std::uint32_t operand, std::uint32_t& value) {
    switch (op) {
        case RelativeOp::Not:
            value = ~value;
            return true;
        case RelativeOp::And:
            value &= operand;
            return true;
        case RelativeOp::Or:
            value |= operand;
            return true;
        case RelativeOp::Xor:
            value ^= operand;
            return true;
        case RelativeOp::Add:
            value += operand;
            return true;
        case RelativeOp::Sub:
            value -= operand;
            return true;
        case RelativeOp::Mul:
            value *= operand;
            return true;
        case RelativeOp::Div:
            if (operand == 0) {
                return false;
            }
            value /= operand;
            return true;
        case RelativeOp::Copy:
            return true;
    }
    return false;
}

void WriteStatic(Unit& unit, const StaticRecord& record, const ItemMask& mask) {
    if (record.bytes == nullptr) {
        return;
    }
    // A single byte may be part of a byte, so it goes through the mask; longer constants are whole bytes.
    if (mask.count == 1) {
        unit.WriteMasked(mask, ByteOrder::Little, record.bytes[0]);
    } else {
        std::copy_n(record.bytes, mask.count, unit.dataImage + mask.offset);
    }
}

void WriteRelative(Unit& unit, const RelativeRecord& record, const ItemMask& target) {
    const ByteOrder order = OrderOf(record.flags, kRelativeBigEndian);
    ItemMask source;
    if (!unit.BuildBitMask(source, record.sourceLocation, record.sourceBits, order)) {
        return;
    }
    std::uint32_t value = unit.ReadMasked(source, order);
    const auto op = static_cast<RelativeOp>(record.flags & kRelativeOpMask);
    if (ApplyOperation(op, record.operand, value)) {
        unit.WriteMasked(target, order, value);
    }
}

// The image positions a sum covers. A backwards range covers no byte; a range outside the image makes the
// field keep its value.
bool CoveredBytes(const Unit& unit, const Location& range, std::uint32_t& offset, std::uint32_t& count) {
    if (range.start > range.end) {
        offset = 0;
        count = 0;
        return true;
    }
    return unit.LocateInImage(range, offset, count);
}

void WriteChecksum(Unit& unit, const ChecksumRecord& record, const ItemMask& field) {
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    if (!CoveredBytes(unit, record.range, offset, count)) {
        return;
    }
    std::uint32_t sum = (record.flags & kChecksumZeros) != 0 ? 0xFFFFFFFFu : 0u;
    for (std::uint32_t i = 0; i < count; ++i) {
        sum += unit.dataImage[offset + i];
    }
    unit.WriteMasked(field, OrderOf(record.flags, kChecksumBigEndian), sum);
}

void WriteCrc(Unit& unit, const CrcRecord& record, const ItemMask& field) {
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    if ((record.flags & kCrcDefined) == 0 || !CoveredBytes(unit, record.range, offset, count)) {
        return;
    }
    const std::uint32_t crc = ComputeCrc(record.algorithm, unit.dataImage + offset, count);
    unit.WriteMasked(field, OrderOf(record.flags, kCrcBigEndian), crc);
}

// The first pass: constants and the fields derived from other fields.
void WriteConstantOrCopy(Unit& unit, const TemplateItem& item, const ItemMask& mask) {
    if (item.kind == ItemKind::Static) {
        WriteStatic(unit, item.RecordAs<StaticRecord>(), mask);
    } else if (item.kind == ItemKind::Relative) {
        WriteRelative(unit, item.RecordAs<RelativeRecord>(), mask);
    }
}

// The second pass: sums over ranges that the first pass may have written.
void WriteIntegrityField(Unit& unit, const TemplateItem& item, const ItemMask& mask) {
    if (item.kind == ItemKind::Checksum) {
        WriteChecksum(unit, item.RecordAs<ChecksumRecord>(), mask);
    } else if (item.kind == ItemKind::Crc) {
        WriteCrc(unit, item.RecordAs<CrcRecord>(), mask);
    }
}

}  // namespace

bool Unit::InitImages(std::uint8_t fill, std::uint8_t* data, std::uint8_t* mask) {
    if (data == nullptr || mask == nullptr) {
        return false;
    }
    dataImage = data;
    programMask = mask;
    std::fill_n(dataImage, ImageSize(), fill);
    std::fill_n(programMask, ImageSize(), std::uint8_t{0});
    WriteFixedByte();
    return true;
}

void Unit::MarkFixedByte() {
    if (HasFixedByte() && programMask != nullptr && ImageSize() != 0) {
        programMask[0] = 0xFF;
    }
}

void Unit::WriteFixedByte() {
    if (HasFixedByte() && dataImage != nullptr && ImageSize() != 0) {
        dataImage[0] = fixedByte;
    }
}

std::uint32_t Unit::CheckCollisions() {
    if (dataImage == nullptr || programMask == nullptr) {
        return 0;
    }
    MarkFixedByte();
    ItemMask mask;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (!BuildItemMask(mask, i) || SharesBits(programMask, mask)) {
            return i;
        }
        SetMaskBits(programMask, mask, true);
    }
    return kNoItem;
}

std::uint32_t Unit::FirstUnmaskableItem() const {
    ItemMask mask;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (!BuildItemMask(mask, i)) {
            return i;
        }
    }
    return kNoItem;
}

void Unit::UpdateProgramMask() {
    if (programMask == nullptr) {
        return;
    }
    ItemMask mask;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (const TemplateItem* item = MaskedItem(i, mask)) {
            SetMaskBits(programMask, mask, item->enabled != 0);
        }
    }
    // Marked last so that the fixed byte stays programmed even if a disabled item overlaps it.
    MarkFixedByte();
}

void Unit::PrepareDerivedFields() {
    if (dataImage == nullptr) {
        return;
    }
    WriteFixedByte();
    ItemMask mask;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (const TemplateItem* item = MaskedItem(i, mask)) {
            WriteConstantOrCopy(*this, *item, mask);
        }
    }
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (const TemplateItem* item = MaskedItem(i, mask)) {
            WriteIntegrityField(*this, *item, mask);
        }
    }
}

}  // namespace tessaly
