#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <vector>

#include "TestTemplates.h"
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

    Bytes Image(std::uint32_t first, std::uint32_t last) const {
        return Bytes(data.begin() + (first - 0x10), data.begin() + (last - 0x10) + 1);
    }

    std::array<TemplateItem*, 4> slots{};
    std::array<std::uint8_t, 16> data{};
    std::array<std::uint8_t, 16> program{};
    Unit unit;
};

TEST_F(MaskTest, ByteMaskCoversTheLocationFromItsOffset) {
    ItemMask mask;
    ASSERT_TRUE(unit.BuildByteMask(mask, {0x12, 0x14}));
    EXPECT_EQ(mask.offset, 2u);
    EXPECT_EQ(MaskBytes(mask), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST_F(MaskTest, ByteMaskRefusesLocationsOutsideTheUnit) {
    ItemMask mask;
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x0F, 0x10}));
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x1F, 0x20}));
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x20, 0x20}));
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x14, 0x12}));
    EXPECT_FALSE(unit.BuildByteMask(mask, {0xFFFF, 0x0000}));
    EXPECT_TRUE(unit.BuildByteMask(mask, {0x10, 0x1F}));
}

TEST_F(MaskTest, LocationEndingBeforeItsStartHasNoBytes) {
    ItemMask mask;
    ASSERT_TRUE(unit.BuildByteMask(mask, {0x13, 0x12}));
    EXPECT_EQ(mask.count, 0u);
}

TEST(ByteMaskTest, AtMost256Bytes) {
    std::array<TemplateItem*, 1> slots{};
    Unit unit;
    unit.Init("U", BusKind::I2C16, 0, 0, slots.data(), 1);
    unit.start = 0;
    unit.end = 0x1FF;
    ItemMask mask;
    EXPECT_TRUE(unit.BuildByteMask(mask, {0x100, 0x1FF}));
    EXPECT_EQ(mask.count, 256u);
    EXPECT_FALSE(unit.BuildByteMask(mask, {0x0FF, 0x1FF}));
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
        {{0x10, 0x11}, MakeBitRange(12, 9), ByteOrder::Big, {0xFF, 0x00}},
        {{0x10, 0x10}, MakeBitRange(15, 0), ByteOrder::Big, {0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "bits " << static_cast<int>(c.bits)
                                        << (c.order == ByteOrder::Big ? " big" : " little"));
        EXPECT_EQ(MaskBytes(Build(c.location, c.bits, c.order)), c.expected);
    }
}

TEST_F(MaskTest, LittleEndianFieldAcrossTwoBytesKeepsItsLowBitsFirst) {
    data.fill(0x55);
    const ItemMask mask = Build({0x10, 0x11}, MakeBitRange(4, 3), ByteOrder::Little);
    EXPECT_EQ(MaskBytes(mask), (Bytes{0xF0, 0x0F}));
    unit.WriteMasked(mask, ByteOrder::Little, 0xAB);
    EXPECT_EQ(Image(0x10, 0x12), (Bytes{0xB5, 0x5A, 0x55}));
    EXPECT_EQ(unit.ReadMasked(mask, ByteOrder::Little), 0xABu);
}

TEST_F(MaskTest, BigEndianGivenBitsRunFromTheFirstByteDown) {
    const ItemMask mask = Build({0x10, 0x11}, MakeBitRange(3, 4), ByteOrder::Big);
    EXPECT_EQ(MaskBytes(mask), (Bytes{0x0F, 0xF0}));
    unit.WriteMasked(mask, ByteOrder::Big, 0xAB);
    EXPECT_EQ(Image(0x10, 0x11), (Bytes{0x0A, 0xB0}));
    EXPECT_EQ(unit.ReadMasked(mask, ByteOrder::Big), 0xABu);
}

TEST_F(MaskTest, BigEndianWithoutBitsCoversWholeBytes) {
    const ItemMask mask = Build({0x10, 0x12}, kWholeBytes, ByteOrder::Big);
    EXPECT_EQ(MaskBytes(mask), (Bytes{0xFF, 0xFF, 0xFF}));
    unit.WriteMasked(mask, ByteOrder::Big, 0x123456);
    EXPECT_EQ(Image(0x10, 0x12), (Bytes{0x12, 0x34, 0x56}));
}

TEST_F(MaskTest, SameValueInBothByteOrders) {
    const ItemMask big = Build({0x10, 0x11}, MakeBitRange(7, 0), ByteOrder::Big);
    unit.WriteMasked(big, ByteOrder::Big, 0x1234);
    const ItemMask little = Build({0x12, 0x13}, kWholeBytes, ByteOrder::Little);
    unit.WriteMasked(little, ByteOrder::Little, 0x1234);
    EXPECT_EQ(Image(0x10, 0x13), (Bytes{0x12, 0x34, 0x34, 0x12}));
    EXPECT_EQ(unit.ReadMasked(big, ByteOrder::Big), 0x1234u);
    EXPECT_EQ(unit.ReadMasked(little, ByteOrder::Little), 0x1234u);
}

TEST_F(MaskTest, EmptyMaskBytesNeitherReadNorWrite) {
    data.fill(0x5A);
    const ItemMask mask = Build({0x10, 0x11}, MakeBitRange(12, 9), ByteOrder::Big);
    unit.WriteMasked(mask, ByteOrder::Big, 0x1FF);
    EXPECT_EQ(Image(0x10, 0x11), (Bytes{0xFF, 0x5A}));
    EXPECT_EQ(unit.ReadMasked(mask, ByteOrder::Big), 0xFFu);
}

TEST_F(MaskTest, FieldsWiderThan32BitsKeepTheirLow32Bits) {
    const Bytes bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    std::copy(bytes.begin(), bytes.end(), data.begin());
    const ItemMask little = Build({0x10, 0x15}, kWholeBytes, ByteOrder::Little);
    EXPECT_EQ(unit.ReadMasked(little, ByteOrder::Little), 0x04030201u);
    const ItemMask big = Build({0x10, 0x15}, kWholeBytes, ByteOrder::Big);
    EXPECT_EQ(unit.ReadMasked(big, ByteOrder::Big), 0x03040506u);
    unit.WriteMasked(little, ByteOrder::Little, 0xAABBCCDD);
    EXPECT_EQ(Image(0x10, 0x15), (Bytes{0xDD, 0xCC, 0xBB, 0xAA, 0x00, 0x00}));
}

// Over many masks, values and fills: a write changes only masked bits, and reading gives back the value
// cut to the field's width.
TEST_F(MaskTest, WritesStayInsideTheMaskAndReadBack) {
    const std::vector<std::pair<Location, BitRange>> fields = {
        {{0x10, 0x10}, MakeBitRange(1, 6)}, {{0x11, 0x13}, MakeBitRange(5, 2)},
        {{0x12, 0x15}, kWholeBytes},        {{0x14, 0x15}, MakeBitRange(7, 0)},
        {{0x1E, 0x1F}, MakeBitRange(0, 0)}, {{0x13, 0x13}, MakeBitRange(4, 4)},
    };
    for (const ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        for (const auto& [location, bits] : fields) {
            const ItemMask mask = Build(location, bits, order);
            int width = 0;
            for (std::uint32_t i = 0; i < mask.count; ++i) {
                width += std::popcount(mask.bytes[i]);
            }
            const std::uint32_t keep = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u;
            for (const std::uint8_t fill : {0x00, 0xFF, 0x96}) {
                for (const std::uint32_t value : {0u, 1u, 0x5Au, 0xFFFFFFFFu, 0x12345678u}) {
                    data.fill(fill);
                    const std::array<std::uint8_t, 16> before = data;
                    unit.WriteMasked(mask, order, value);
                    for (std::uint32_t i = 0; i < data.size(); ++i) {
                        const bool inside = i >= mask.offset && i < mask.offset + mask.count;
                        const std::uint8_t allowed = inside ? mask.bytes[i - mask.offset] : 0;
                        EXPECT_EQ((data[i] ^ before[i]) & ~allowed, 0) << "byte " << i;
                    }
                    EXPECT_EQ(unit.ReadMasked(mask, order), value & keep);
                }
            }
        }
    }
}

TEST(ItemMaskTest, EachKindBuildsItsOwnMask) {
    const test::ParsedTemplate t = test::ParseLines({
        "[U]",
        "b = BIT, 0.3, Off, On",
        "n = NUM, 1.2-2.5, 0-FFFF, BENDIAN",
        "s = STATIC, 3.6, 1",
        "r = RELATIVE, 4.6-5.1, 1, BENDIAN",
        "t = STRING, 6-8, ASCIIZ",
        "c = CHECKSUM, 9, 0-8",
        "h = TITLE",
        "p = CRC",
        "d = CRC, A-B, 0-9, CRC16-ARC",
    });
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    const Unit& unit = t.UnitAt(0);
    const std::vector<std::pair<std::uint32_t, Bytes>> expected = {
        {0, {0x08}}, {1, {0x07, 0xE0}}, {3, {0x40}}, {4, {0x7F, 0xFE}},  {6, {0xFF, 0xFF, 0xFF}},
        {9, {0xFF}}, {0, {}},           {0, {}},     {10, {0xFF, 0xFF}},
    };
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        ItemMask mask;
        ASSERT_TRUE(unit.BuildItemMask(mask, i)) << "item " << i;
        EXPECT_EQ(MaskBytes(mask), expected[i].second) << "item " << i;
        if (mask.count != 0) {
            EXPECT_EQ(mask.offset, expected[i].first) << "item " << i;
        }
    }
    ItemMask mask;
    EXPECT_FALSE(unit.BuildItemMask(mask, unit.itemCount));
}

}  // namespace
}  // namespace tessaly
