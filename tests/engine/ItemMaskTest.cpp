#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/Unit.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MaskBytes(const ItemMask& mask) {
    return Bytes(mask.bytes.begin(), mask.bytes.begin() + mask.count);
}

// A unit over addresses 0x10..0x1F with its own images.
class MaskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unit.Init("U", BusKind::I2C8, 0, 0, slots.data(), static_cast<std::uint32_t>(slots.size()));
        unit.start = 0x10;
        unit.end = 0x1F;
        ASSERT_TRUE(unit.InitImages(0x00, data.data(), program.data()));
    }

    ItemMask Build(Location location, BitRange bits, ByteOrder order) {
        ItemMask mask;
        EXPECT_TRUE(unit.BuildBitMask(mask, location, bits, order));
        return mask;
    }

    std::array<TemplateItem*, 4> slots{};
    std::array<std::uint8_t, 16> data{};
    std::array<std::uint8_t, 16> program{};
    Unit unit;
};

// Whole bytes from the location's offset in the image, for locations of at most 256 bytes inside the unit.
TEST_F(MaskTest, ByteMaskCoversTheLocationInsideTheUnit) {
    ItemMask mask;
    ASSERT_TRUE(unit.BuildByteMask(mask, {0x12, 0x14}));
    EXPECT_EQ(mask.offset, 2u);
    EXPECT_EQ(MaskBytes(mask), (Bytes{0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(unit.BuildBitMask(mask, {0x13, 0x12}, MakeBitRange(3, 4), ByteOrder::Little));
    EXPECT_EQ(mask.count, 0u) << "a location ending just before its start has no bytes";
    EXPECT_TRUE(unit.BuildByteMask(mask, {0x10, 0x1F}));
    for (const Location outside :
         {Location{0x0F, 0x10}, {0x1F, 0x20}, {0x20, 0x20}, {0x14, 0x12}, {0xFFFF, 0}}) {
        EXPECT_FALSE(unit.BuildByteMask(mask, outside)) << outside.start << "-" << outside.end;
    }
    unit.end = 0x20F;
    EXPECT_TRUE(unit.BuildByteMask(mask, {0x110, 0x20F}));
    EXPECT_EQ(mask.count, 256u);
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x10F, 0x20F}));
}

// Little endian covers the first bit up to the last, big endian the last bit up to the first; bit numbers
// above seven name no bit of their byte.
TEST_F(MaskTest, BitMaskBytes) {
    const struct {
        Location location;
        BitRange bits;
        ByteOrder order;
        Bytes expected;
    } cases[] = {
        {{0x10, 0x10}, MakeBitRange(2, 5), ByteOrder::Little, {0x3C}},
        {{0x10, 0x10}, MakeBitRange(3, 3), ByteOrder::Little, {0x08}},
        {{0x10, 0x10}, MakeBitRange(5, 2), ByteOrder::Little, {0x00}},
        {{0x10, 0x10}, MakeBitRange(6, 2), ByteOrder::Big, {0x7C}},
        {{0x10, 0x10}, MakeBitRange(4, 4), ByteOrder::Big, {0x10}},
        {{0x10, 0x10}, kWholeBytes, ByteOrder::Big, {0xFF}},
        {{0x10, 0x10}, MakeBitRange(9, 9), ByteOrder::Little, {0x00}},
        {{0x10, 0x11}, MakeBitRange(3, 12), ByteOrder::Little, {0xF8, 0xFF}},
        {{0x10, 0x11}, MakeBitRange(4, 3), ByteOrder::Little, {0xF0, 0x0F}},
        {{0x10, 0x11}, MakeBitRange(3, 4), ByteOrder::Big, {0x0F, 0xF0}},
        {{0x10, 0x11}, MakeBitRange(12, 9), ByteOrder::Big, {0xFF, 0x00}},
        {{0x10, 0x10}, MakeBitRange(15, 0), ByteOrder::Big, {0xFF}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MaskBytes(Build(c.location, c.bits, c.order)), c.expected)
            << "bits " << static_cast<int>(c.bits) << (c.order == ByteOrder::Big ? " big" : " little");
    }
}

// A write changes only the field's bits, in the field's byte order; a read gives back the low 32 bits.
TEST_F(MaskTest, WritesAndReadsStayInsideTheMask) {
    const struct {
        Location location;
        BitRange bits;
        ByteOrder order;
        std::uint8_t fill;
        std::uint32_t value;
        Bytes image;  // from 0x10 on
        std::uint32_t read;
    } cases[] = {
        {{0x10, 0x11}, MakeBitRange(4, 3), ByteOrder::Little, 0x55, 0xAB, {0xB5, 0x5A, 0x55}, 0xAB},
        {{0x10, 0x11}, MakeBitRange(3, 4), ByteOrder::Big, 0x00, 0xAB, {0x0A, 0xB0, 0x00}, 0xAB},
        {{0x10, 0x12}, kWholeBytes, ByteOrder::Big, 0x00, 0x123456, {0x12, 0x34, 0x56}, 0x123456},
        {{0x10, 0x11}, MakeBitRange(7, 0), ByteOrder::Big, 0x00, 0x1234, {0x12, 0x34}, 0x1234},
        {{0x10, 0x11}, kWholeBytes, ByteOrder::Little, 0x00, 0x1234, {0x34, 0x12}, 0x1234},
        {{0x10, 0x11}, MakeBitRange(12, 9), ByteOrder::Big, 0x5A, 0x1FF, {0xFF, 0x5A}, 0xFF},
        {{0x10, 0x10}, MakeBitRange(1, 6), ByteOrder::Little, 0x96, 0xFFFFFFFF, {0xFE, 0x96}, 0x3F},
        {{0x10, 0x15},
         kWholeBytes,
         ByteOrder::Little,
         0x00,
         0xAABBCCDD,
         {0xDD, 0xCC, 0xBB, 0xAA, 0, 0, 0},
         0xAABBCCDD},
        {{0x10, 0x15},
         kWholeBytes,
         ByteOrder::Big,
         0x00,
         0xAABBCCDD,
         {0, 0, 0xAA, 0xBB, 0xCC, 0xDD, 0},
         0xAABBCCDD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bits " << static_cast<int>(c.bits) << " value " << c.value);
        data.fill(c.fill);
        const ItemMask mask = Build(c.location, c.bits, c.order);
        unit.WriteMasked(mask, c.order, c.value);
        EXPECT_EQ(Bytes(data.begin(), data.begin() + c.image.size()), c.image);
        EXPECT_EQ(unit.ReadMasked(mask, c.order), c.read);
    }
    data = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_EQ(unit.ReadMasked(Build({0x10, 0x15}, kWholeBytes, ByteOrder::Little), ByteOrder::Little),
              0x04030201u);
    EXPECT_EQ(unit.ReadMasked(Build({0x10, 0x15}, kWholeBytes, ByteOrder::Big), ByteOrder::Big), 0x03040506u);
}

}  // namespace
}  // namespace tessaly
