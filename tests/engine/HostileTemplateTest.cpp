// Templates that load although their locations make no sense: every codec operation must stay inside the
// images (each sits between guard bytes) and fail or do nothing where a location cannot be used.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;

// Runs every operation over every item, with texts that each kind might accept.
void Exercise(Unit& unit) {
    unit.CheckCollisions();
    unit.UpdateProgramMask();
    unit.PrepareDerivedFields();
    for (std::uint32_t i = 0; i <= unit.itemCount; ++i) {
        std::string text;
        unit.GetValueText(i, text);
        for (const char* typed : {"", "0", "1", "A", "On", "FFFFFFFF", "4294967295", "0123456789ABCDEF"}) {
            unit.ValidateValueText(i, typed);
            unit.SetValueText(i, typed);
        }
        for (std::uint32_t value = 0; value < 5; ++value) {
            unit.GetChoiceText(i, value, text);
        }
        unit.DescribeItem(i);
        unit.SetItemEnabled(i, false);
    }
    unit.UpdateProgramMask();
    unit.PrepareDerivedFields();
}

ImagedTemplate ExercisedTemplate(const std::vector<std::string_view>& lines, std::uint8_t fill) {
    ImagedTemplate t = test::ImageLines(lines, fill);
    EXPECT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    for (std::uint32_t u = 0; t.parsed.units != nullptr && u < t.parsed.units->count; ++u) {
        Exercise(t.UnitAt(u));
    }
    return t;
}

const std::vector<std::vector<std::string_view>> kHostileTemplates = {
    {"[Backwards]", "b = BIT, 20-10, Off, On", "e = ENUM, 30.0-2F.0, A, B", "n = NUM, 12-11, 0-FF, DEC",
     "r = RELATIVE, 14-13, 11-10, NOT", "c = CHECKSUM, 16-15, 20-10", "x = RELATIVE, 15, 18-17, ADD, 1"},
    {"[HighBits]", "n = NUM, 10.9-10.F, 0-FF, DEC", "e = ENUM, 11.E-11.F, A, B, C, D", "s = STATIC, 12.C, 1",
     "w = NUM, 13.3-16.C, 0-FFFFFFFF, BENDIAN", "v = NUM, 17.F-18.8, 0-FFFF, LENDIAN",
     "r = RELATIVE, 19.C-19.3, 1A.F-1B.2, BENDIAN, ADD, 5", "b = BIT, 1C.8-1C.F, Off, On"},
    {"[Wide, I2C16]", "t = STRING, 0-FFFF, ASCIIZ", "r = RELATIVE, 10-200, 5",
     "c = CHECKSUM, 300-400, 0-FFFF", "k = CRC, 500-503, 0-FFFF, CRC32", "s = STATIC, FFFF, 1, 2"},
    {"[Empty static, A0]", "s = STATIC, 30", "n = NUM, 31, 0-FF, DEC"},
    {"[Counters]", "a = STRING, 10-11, COUNTER, 1", "b = STRING, 20-22, COUNTER, 2, BENDIAN",
     "z = STRING, 30, ASCIIZ"},
};

TEST(HostileTemplateTest, EveryOperationStaysInsideTheImages) {
    for (const auto& lines : kHostileTemplates) {
        for (const std::uint8_t fill : {0x00, 0xFF}) {
            ImagedTemplate t = ExercisedTemplate(lines, fill);
            EXPECT_TRUE(t.GuardsIntact()) << lines.front();
        }
    }
}

TEST(HostileTemplateTest, StaticWithoutValuesAtAddressZeroLeavesAnEmptyImage) {
    // The empty constant ends one byte before address 0: the unit's end wraps to 0xFFFFFFFF, so its images
    // have no byte, and the constant's 16-bit end to 0xFFFF, so it spans 64 KiB and has no mask.
    ImagedTemplate t = ExercisedTemplate({"[U]", "s = STATIC, 0", "n = NUM, 1, 0-FF, DEC"}, 0x00);
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(unit.ImageSize(), 0u);
    EXPECT_EQ(unit.CheckCollisions(), 0u);
    std::string text;
    EXPECT_FALSE(unit.GetValueText(1, text));
    EXPECT_TRUE(t.GuardsIntact());
}

TEST(HostileTemplateTest, HighBitNumbersNameNoBits) {
    // Bits 9..15 of a byte do not exist, so the field has no bits and reads 0 whatever the byte holds.
    ImagedTemplate t =
        ExercisedTemplate({"[U]", "n = NUM, 10.9-10.F, 0-FF, DEC", "z = NUM, 11, 0-FF, DEC"}, 0xFF);
    Unit& unit = t.UnitAt(0);
    std::string text;
    ASSERT_TRUE(unit.GetValueText(0, text));
    EXPECT_EQ(text, "0");
    EXPECT_EQ(t.Data(0x10), 0xFF);
}

TEST(HostileTemplateTest, DerivedFieldsWithUnusableSourcesKeepTheirValue) {
    ImagedTemplate t = test::ImageLines(
        {"[U]", "r = RELATIVE, 10, 20-11", "c = CHECKSUM, 11, 10-13", "k = CRC, 12-13, 10-11, CRC16-ARC"},
        0x77);
    ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    // Ranges the parser would have widened the unit for, made to reach beyond it afterwards.
    t.parsed.ItemAt(0, 1).RecordAs<ChecksumRecord>().range.end = 0x300;
    t.parsed.ItemAt(0, 2).RecordAs<CrcRecord>().range = {0x0F, 0x11};
    t.UnitAt(0).PrepareDerivedFields();
    for (std::uint32_t address = 0x10; address <= 0x13; ++address) {
        EXPECT_EQ(t.Data(address), 0x77) << address;
    }
    EXPECT_TRUE(t.GuardsIntact());
}

}  // namespace
}  // namespace tessaly
