#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "TestTemplates.h"
#include "engine/Unit.h"

namespace tessaly {
namespace {

TEST(ModelUtilityTest, LocationSizes) {
    const Location backward{0x20, 0x10};
    EXPECT_EQ(LocationSize(&backward), 0xFFFFFFF1u);
    EXPECT_EQ(LocationSize(nullptr), 0u);
}

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
// above seven name no bit of their byte. A write changes only the mask's bits, in the field's byte order;
// a read gives back the field's low 32 bits.
TEST_F(MaskTest, BitMasksWritesAndReads) {
    constexpr ByteOrder kLittle = ByteOrder::Little;
    constexpr ByteOrder kBig = ByteOrder::Big;
    const Bytes kSixBytes(6, 0xFF);
    const struct {
        std::uint16_t last;  // of the location from 0x10
        BitRange bits;
        ByteOrder order;
        Bytes mask;
        std::uint8_t fill;
        std::uint32_t value;
        Bytes image;  // from 0x10 on
        std::uint32_t read;
    } cases[] = {
        {0x10, MakeBitRange(5, 2), kLittle, {0x00}, 0x5A, 0xFF, {0x5A}, 0},
        {0x10, MakeBitRange(6, 2), kBig, {0x7C}, 0x00, 0x1F, {0x7C}, 0x1F},
        {0x10, MakeBitRange(1, 6), kLittle, {0x7E}, 0x96, 0xFFFFFFFF, {0xFE, 0x96}, 0x3F},
        {0x11, MakeBitRange(3, 12), kLittle, {0xF8, 0xFF}, 0x00, 0x1FFF, {0xF8, 0xFF, 0}, 0x1FFF},
        {0x11, MakeBitRange(4, 3), kLittle, {0xF0, 0x0F}, 0x55, 0xAB, {0xB5, 0x5A, 0x55}, 0xAB},
        {0x11, MakeBitRange(3, 4), kBig, {0x0F, 0xF0}, 0x00, 0xAB, {0x0A, 0xB0, 0x00}, 0xAB},
        {0x11, MakeBitRange(12, 9), kBig, {0xFF, 0x00}, 0x5A, 0x1FF, {0xFF, 0x5A}, 0xFF},
        {0x10, MakeBitRange(15, 0), kBig, {0xFF}, 0x00, 0x1AB, {0xAB}, 0xAB},
        {0x15, kWholeBytes, kLittle, kSixBytes, 0, 0xAABBCCDD, {0xDD, 0xCC, 0xBB, 0xAA, 0, 0, 0}, 0xAABBCCDD},
        {0x15, kWholeBytes, kBig, kSixBytes, 0, 0xAABBCCDD, {0, 0, 0xAA, 0xBB, 0xCC, 0xDD, 0}, 0xAABBCCDD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bits " << static_cast<int>(c.bits)
                                          << (c.order == ByteOrder::Big ? " big" : " little"));
        data.fill(c.fill);
        const ItemMask mask = Build({0x10, c.last}, c.bits, c.order);
        EXPECT_EQ(MaskBytes(mask), c.mask);
        unit.WriteMasked(mask, c.order, c.value);
        EXPECT_EQ(Bytes(data.begin(), data.begin() + c.image.size()), c.image);
        EXPECT_EQ(unit.ReadMasked(mask, c.order), c.read);
    }
}

using test::ImagedTemplate;
using test::ImageLines;

// The data image holds the fill, the fixed byte (which starts the unit at address 0) at its place; the
// program mask starts empty.
TEST(InitImagesTest, FillsDataWritesTheFixedByteAndClearsTheMask) {
    ImagedTemplate t =
        ImageLines({"[U, I2C8, A0]", "a = NUM, 10, 0-FF, DEC", "b = NUM, 1F, 0-FF, DEC"}, 0xEE);
    const Unit& unit = t.UnitAt(0);
    ASSERT_EQ(unit.start, 0u);
    ASSERT_EQ(unit.ImageSize(), 0x20u);
    for (std::uint32_t address = 0; address <= 0x1F; ++address) {
        EXPECT_EQ(t.Data(address), address == 0 ? 0xA0 : 0xEE) << address;
        EXPECT_EQ(t.Mask(address), 0x00) << address;
    }
    EXPECT_TRUE(t.GuardsIntact());
    test::ParsedTemplate bare = test::ParseLines({"[U]", "n = NUM, 10, 0-FF, DEC"});
    EXPECT_EQ(bare.UnitAt(0).CheckCollisions(), 0u) << "nothing can be checked without images";
}

// The first item whose field overlaps an earlier claim or the fixed byte, or cannot be masked.
TEST(CheckCollisionsTest, ReportsTheFirstItemThatCollides) {
    const std::pair<std::vector<std::string_view>, std::uint32_t> cases[] = {
        {{"[U]", "b = BIT, 10.3, Off, On", "n = NUM, 11, 0-FF, DEC", "e = ENUM, 10.2-10.3, A, B, C, D",
          "z = NUM, 12, 0-FF, DEC"},
         2},
        {{"[U]", "n = NUM, 10-11, 0-FFFF, DEC", "t = STRING, 11-14, ASCIIZ"}, 1},
        // Bits 0..3 of 0x10 and 4..7 of 0x11 belong to the big-endian field; the others are free.
        {{"[U]", "n = NUM, 10.3-11.4, 0-FF, BENDIAN", "a = BIT, 10.4, a, b", "b = BIT, 11.3, a, b"}, kNoItem},
        {{"[U]", "n = NUM, 10.3-11.4, 0-FF, BENDIAN", "a = BIT, 10.3, a, b"}, 1},
        {{"[U, I2C8, A0]", "b = BIT, 0.7, Off, On"}, 0},
        {{"[U, I2C8, A0]", "n = NUM, 1, 0-FF, DEC", "s = STRING, 0-3, ASCIIZ"}, 1},
        // Items without a mask: too long, or backwards.
        {{"[U]", "r = RELATIVE, 10-200, 5"}, 0},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "b = BIT, 20-10, a, b"}, 1},
        // Derived items claim only their fields, not their ranges; titles and placeholders claim nothing.
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "r = RELATIVE, 11, 10, NOT", "c = CHECKSUM, 12, 10-11",
          "k = CRC, 13, 10-12, CRC8", "t = TITLE", "p = CRC, 10, 10-13, NO-SUCH-ALGORITHM"},
         kNoItem},
        {{"[U]", "n = NUM, 10-11, 0-FFFF, DEC", "k = CRC, 11-12, 0-F, CRC16-ARC"}, 1},
        {{"[U]", "c = CHECKSUM, 10, 11-1F", "k = CRC, 10, 11-1F, CRC8"}, 1},
    };
    for (const auto& [lines, item] : cases) {
        ImagedTemplate t = ImageLines(lines);
        ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
        EXPECT_EQ(t.UnitAt(0).CheckCollisions(), item) << lines.back();
    }
}

// Without images: the first item whose location runs backwards, is too long or lies outside the unit.
TEST(CheckCollisionsTest, FirstUnmaskableItem) {
    const std::pair<std::vector<std::string_view>, std::uint32_t> cases[] = {
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "b = BIT, 20-10, a, b", "c = CHECKSUM, 100-10, 0"}, 1},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "s = STRING, 0-1FF, ASCIIZ"}, 1},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "t = TITLE", "e = NUM, 10, 0-FF, DEC"}, kNoItem},
        {{"[U]"}, kNoItem},
    };
    for (const auto& [lines, item] : cases) {
        EXPECT_EQ(test::ParseLines(lines).UnitAt(0).FirstUnmaskableItem(), item) << lines.back();
    }
}

// Checking the collisions claims every item's bits and the fixed byte in the program mask; titles and
// CRC placeholders have none. Disabled items leave the mask and come back when enabled; the fixed byte
// always stays.
TEST(ProgramMaskTest, HoldsTheBitsOfTheEnabledItems) {
    ImagedTemplate t =
        ImageLines({"[U, I2C8, A0]", "b = BIT, 1.0, Off, On", "e = ENUM, 1.1-1.2, A, B, C, D",
                    "n = NUM, 2.4-3.3, 0-FF, BENDIAN", "s = STATIC, 4.6, 1", "c = CHECKSUM, 5, 1-4",
                    "r = RELATIVE, 6.6-7.1, 1, BENDIAN", "t = STRING, 8-9, ASCIIZ", "h = TITLE", "p = CRC",
                    "k = CRC, A-B, 0-9, CRC16-ARC"});
    Unit& unit = t.UnitAt(0);
    const auto mask = [&t] {
        Bytes bytes;
        for (std::uint32_t address = 0; address <= 0xB; ++address) {
            bytes.push_back(t.Mask(address));
        }
        return bytes;
    };
    ASSERT_EQ(unit.CheckCollisions(), kNoItem);
    EXPECT_EQ(mask(), (Bytes{0xFF, 0x07, 0x1F, 0xF8, 0x40, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(unit.SetItemEnabled(1, false));
    ASSERT_TRUE(unit.SetItemEnabled(2, false));
    t.Mask(0) = 0x00;
    unit.UpdateProgramMask();
    EXPECT_EQ(mask(), (Bytes{0xFF, 0x01, 0x00, 0x00, 0x40, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(unit.SetItemEnabled(2, true));
    unit.UpdateProgramMask();
    EXPECT_EQ(mask(), (Bytes{0xFF, 0x01, 0x1F, 0xF8, 0x40, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        ASSERT_TRUE(unit.SetItemEnabled(i, false));
    }
    unit.UpdateProgramMask();
    EXPECT_EQ(mask(), (Bytes{0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Templates that load although their locations make no sense.
TEST(HostileTemplateTest, UnusableLocationsReadAndWriteNothing) {
    // An empty constant at 0 ends before address 0: the unit's end wraps to 0xFFFFFFFF, so its images have
    // no byte, and the constant's 16-bit end to 0xFFFF, so it spans 64 KiB and cannot be masked.
    ImagedTemplate empty = ImageLines({"[U]", "s = STATIC, 0", "n = NUM, 1, 0-FF, DEC"});
    EXPECT_EQ(empty.UnitAt(0).ImageSize(), 0u);
    EXPECT_EQ(empty.UnitAt(0).CheckCollisions(), 0u);
    empty.UnitAt(0).UpdateProgramMask();
    empty.UnitAt(0).PrepareDerivedFields();
    std::string text;
    EXPECT_FALSE(empty.UnitAt(0).GetValueText(1, text));
    // Derived fields whose sources reach beyond the unit keep their value.
    ImagedTemplate t = ImageLines(
        {"[U]", "r = RELATIVE, 10, 20-11", "c = CHECKSUM, 11, 10-13", "k = CRC, 12-13, 10-11, CRC16-ARC"},
        0x77);
    ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    t.parsed.ItemAt(0, 1).RecordAs<ChecksumRecord>().range.end = 0x300;
    t.parsed.ItemAt(0, 2).RecordAs<CrcRecord>().range = {0x0F, 0x11};
    t.UnitAt(0).PrepareDerivedFields();
    for (std::uint32_t address = 0x10; address <= 0x13; ++address) {
        EXPECT_EQ(t.Data(address), 0x77) << address;
    }
    EXPECT_TRUE(empty.GuardsIntact() && t.GuardsIntact());
}

}  // namespace
}  // namespace tessaly
