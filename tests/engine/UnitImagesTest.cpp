#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;
using test::ImageLines;

std::uint32_t CollisionOf(const std::vector<std::string_view>& lines) {
    ImagedTemplate t = ImageLines(lines);
    EXPECT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    return t.parsed.error == ParseError::None ? t.UnitAt(0).CheckCollisions() : kNoItem - 1;
}

TEST(InitImagesTest, RefusesMissingBuffers) {
    test::ParsedTemplate t = test::ParseLines({"[U]", "n = NUM, 10, 0-FF, DEC"});
    Unit& unit = t.UnitAt(0);
    std::array<std::uint8_t, 1> buffer{};
    EXPECT_FALSE(unit.InitImages(0, nullptr, buffer.data()));
    EXPECT_FALSE(unit.InitImages(0, buffer.data(), nullptr));
    EXPECT_EQ(unit.dataImage, nullptr);
    EXPECT_EQ(unit.programMask, nullptr);
}

TEST(InitImagesTest, FillsDataAndClearsTheMaskOverTheWholeUnit) {
    ImagedTemplate t = ImageLines({"[U]", "a = NUM, 10, 0-FF, DEC", "b = NUM, 1F, 0-FF, DEC"}, 0xEE);
    const Unit& unit = t.UnitAt(0);
    ASSERT_EQ(unit.start, 0x10u);
    ASSERT_EQ(unit.ImageSize(), 16u);
    for (std::uint32_t address = 0x10; address <= 0x1F; ++address) {
        EXPECT_EQ(t.Data(address), 0xEE);
        EXPECT_EQ(t.Mask(address), 0x00);
    }
    EXPECT_TRUE(t.GuardsIntact());
}

TEST(InitImagesTest, FixedByteStartsTheUnitAtAddressZero) {
    ImagedTemplate t = ImageLines({"[U, I2C8, A0]", "n = NUM, 100, 0-FF, DEC"}, 0xFF);
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(unit.start, 0u);
    EXPECT_EQ(unit.ImageSize(), 0x101u);
    EXPECT_EQ(t.Data(0), 0xA0);
    EXPECT_EQ(t.Data(1), 0xFF);
    EXPECT_EQ(t.Data(0x100), 0xFF);
}

TEST(CheckCollisionsTest, CleanUnitClaimsEveryItemAndTheFixedByte) {
    ImagedTemplate t = ImageLines({
        "[U, I2C8, 50]",
        "b = BIT, 1.3, Off, On",
        "c = BIT, 1.4, Off, On",
        "n = NUM, 2-3, 0-FFFF, DEC",
        "e = ENUM, 4.6-4.7, A, B, C, D",
    });
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(unit.CheckCollisions(), kNoItem);
    EXPECT_EQ(t.Mask(0), 0xFF);
    EXPECT_EQ(t.Mask(1), 0x18);
    EXPECT_EQ(t.Mask(2), 0xFF);
    EXPECT_EQ(t.Mask(3), 0xFF);
    EXPECT_EQ(t.Mask(4), 0xC0);
}

// The first item whose field overlaps an earlier claim, the fixed byte or lies outside the unit.
TEST(CheckCollisionsTest, ReportsTheFirstItemThatCollides) {
    const std::pair<std::vector<std::string_view>, std::uint32_t> cases[] = {
        {{"[U]", "b = BIT, 10.3, Off, On", "n = NUM, 11, 0-FF, DEC", "e = ENUM, 10.2-10.3, A, B, C, D",
          "z = NUM, 12, 0-FF, DEC"},
         2},
        {{"[U]", "n = NUM, 10-11, 0-FFFF, DEC", "t = STRING, 11-14, ASCIIZ"}, 1},
        // Bits 0..3 of 0x10 and 4..7 of 0x11 belong to the big-endian field; the others are free.
        {{"[U]", "n = NUM, 10.3-11.4, 0-FF, BENDIAN", "a = BIT, 10.4, a, b", "b = BIT, 11.3, a, b"}, kNoItem},
        {{"[U]", "n = NUM, 10.3-11.4, 0-FF, BENDIAN", "a = BIT, 10.3, a, b"}, 1},
        {{"[U]", "n = NUM, 10-11, 0-FFFF, BENDIAN", "a = BIT, 10.3, a, b"}, 1},
        {{"[U, I2C8, A0]", "b = BIT, 0.7, Off, On"}, 0},
        {{"[U, I2C8, A0]", "n = NUM, 1, 0-FF, DEC", "s = STRING, 0-3, ASCIIZ"}, 1},
        {{"[U, I2C8, A0]", "n = NUM, 1, 0-FF, DEC"}, kNoItem},
        // Items without a mask: too long, or backwards.
        {{"[U]", "r = RELATIVE, 10-200, 5"}, 0},
        {{"[U]", "c = CHECKSUM, 100-10, 0"}, 0},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "s = STRING, 0-1FF, ASCIIZ"}, 1},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "b = BIT, 20-10, a, b"}, 1},
        // Derived items claim only their fields, not their ranges; titles and placeholders claim nothing.
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "r = RELATIVE, 11, 10, NOT", "c = CHECKSUM, 12, 10-11",
          "k = CRC, 13, 10-12, CRC8", "t = TITLE", "p = CRC, 10, 10-13, NO-SUCH-ALGORITHM"},
         kNoItem},
        {{"[U]", "n = NUM, 10-11, 0-FFFF, DEC", "k = CRC, 11-12, 0-F, CRC16-ARC"}, 1},
        {{"[U]", "c = CHECKSUM, 10, 11-1F", "k = CRC, 10, 11-1F, CRC8"}, 1},
    };
    for (const auto& [lines, item] : cases) {
        SCOPED_TRACE(lines.back());
        EXPECT_EQ(CollisionOf(lines), item);
    }
}

TEST(CheckCollisionsTest, NothingCanBeCheckedWithoutImages) {
    test::ParsedTemplate t = test::ParseLines({"[U]", "n = NUM, 10, 0-FF, DEC"});
    EXPECT_EQ(t.UnitAt(0).CheckCollisions(), 0u);
}

// Without images: the first item whose location runs backwards, is too long or lies outside the unit.
TEST(FirstUnmaskableItemTest, NamesTheFirstItemWithoutAMaskAndNoneWhenAllHaveOne) {
    const std::pair<std::vector<std::string_view>, std::uint32_t> cases[] = {
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "b = BIT, 20-10, a, b", "c = CHECKSUM, 100-10, 0"}, 1},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "s = STRING, 0-1FF, ASCIIZ"}, 1},
        {{"[U]", "n = NUM, 10, 0-FF, DEC", "t = TITLE", "e = NUM, 10, 0-FF, DEC"}, kNoItem},
        {{"[U]"}, kNoItem},
    };
    for (const auto& [lines, item] : cases) {
        SCOPED_TRACE(lines.back());
        test::ParsedTemplate t = test::ParseLines(lines);
        ASSERT_EQ(t.error, ParseError::None);
        EXPECT_EQ(t.UnitAt(0).FirstUnmaskableItem(), item);
    }
}

class ProgramMaskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
        ASSERT_EQ(unit().CheckCollisions(), kNoItem);
    }
    Unit& unit() { return t.UnitAt(0); }

    ImagedTemplate t = ImageLines({
        "[U, I2C8, A0]",
        "b = BIT, 1.0, Off, On",
        "e = ENUM, 1.1-1.2, A, B, C, D",
        "n = NUM, 2.4-3.3, 0-FF, DEC",
        "s = STATIC, 4, 55",
        "c = CHECKSUM, 5, 1-4",
    });
};

TEST_F(ProgramMaskTest, DisabledItemsLeaveTheMaskAndComeBackWhenEnabled) {
    ASSERT_TRUE(unit().SetItemEnabled(1, false));
    ASSERT_TRUE(unit().SetItemEnabled(2, false));
    unit().UpdateProgramMask();
    EXPECT_EQ(t.Mask(1), 0x01);
    EXPECT_EQ(t.Mask(2), 0x00);
    EXPECT_EQ(t.Mask(3), 0x00);
    EXPECT_EQ(t.Mask(4), 0xFF);

    ASSERT_TRUE(unit().SetItemEnabled(2, true));
    unit().UpdateProgramMask();
    EXPECT_EQ(t.Mask(1), 0x01);
    EXPECT_EQ(t.Mask(2), 0xF0);
    EXPECT_EQ(t.Mask(3), 0x0F);
}

TEST_F(ProgramMaskTest, AllItemsDisabledLeaveOnlyTheFixedByte) {
    for (std::uint32_t i = 0; i < unit().itemCount; ++i) {
        ASSERT_TRUE(unit().SetItemEnabled(i, false));
    }
    unit().UpdateProgramMask();
    EXPECT_EQ(t.Mask(0), 0xFF);
    for (std::uint32_t address = 1; address <= 5; ++address) {
        EXPECT_EQ(t.Mask(address), 0x00) << address;
    }
}

TEST_F(ProgramMaskTest, FixedByteIsMarkedAgainWhenTheMaskIsRebuilt) {
    t.Mask(0) = 0x00;
    unit().UpdateProgramMask();
    EXPECT_EQ(t.Mask(0), 0xFF);
}

TEST_F(ProgramMaskTest, EnabledFlagsOfUnknownItemsCannotBeSet) {
    EXPECT_FALSE(unit().SetItemEnabled(unit().itemCount, false));
    EXPECT_FALSE(unit().SetItemEnabled(kUnitItemCapacity, false));
}

}  // namespace
}  // namespace tessaly
