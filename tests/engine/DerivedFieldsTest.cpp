#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"
#include "engine/CrcAlgorithm.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;
using test::ImageLines;

// Loads one unit over fill, lets set the bytes, prepares the derived fields and keeps the result.
ImagedTemplate Prepared(const std::vector<std::string_view>& lines,
                        const std::vector<std::pair<std::uint32_t, std::uint8_t>>& bytes = {},
                        std::uint8_t fill = 0x00) {
    ImagedTemplate t = ImageLines(lines, fill);
    EXPECT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    if (t.parsed.error == ParseError::None) {
        for (const auto& [address, value] : bytes) {
            t.Data(address) = value;
        }
        t.UnitAt(0).PrepareDerivedFields();
        EXPECT_TRUE(t.GuardsIntact());
    }
    return t;
}

std::uint8_t RelativeResult(const std::string& operation, std::uint8_t source) {
    const std::string entry = "r = RELATIVE, 11, 10" + operation;
    ImagedTemplate t = Prepared({"[U]", entry}, {{0x10, source}, {0x11, 0x77}});
    return t.Data(0x11);
}

TEST(PrepareStaticTest, ConstantBytesAreCopied) {
    ImagedTemplate t = Prepared({"[U]", "s = STATIC, 20, 1, 2, 3", "z = NUM, 23, 0-FF, DEC"}, {}, 0xFF);
    EXPECT_EQ(t.Data(0x20), 1);
    EXPECT_EQ(t.Data(0x21), 2);
    EXPECT_EQ(t.Data(0x22), 3);
    EXPECT_EQ(t.Data(0x23), 0xFF);
}

TEST(PrepareStaticTest, PartOfAByteChangesOnlyItsBits) {
    ImagedTemplate t = Prepared({"[U]", "s = STATIC, 20.3", "h = STATIC, 21.4-21.7, A"}, {}, 0xFF);
    EXPECT_EQ(t.Data(0x20), 0xF7);
    EXPECT_EQ(t.Data(0x21), 0xAF);
}

TEST(PrepareStaticTest, EnabledFlagsDoNotMatter) {
    ImagedTemplate t = ImageLines({"[U]", "s = STATIC, 20, 5A"});
    ASSERT_TRUE(t.UnitAt(0).SetItemEnabled(0, false));
    t.UnitAt(0).PrepareDerivedFields();
    EXPECT_EQ(t.Data(0x20), 0x5A);
}

TEST(PrepareRelativeTest, EachOperationWrapsAt32BitsAndIsCutToTheTarget) {
    EXPECT_EQ(RelativeResult(", NOT", 0x5A), 0xA5);
    EXPECT_EQ(RelativeResult(", ADD, 1", 0xFF), 0x00);
    EXPECT_EQ(RelativeResult(", SUB, 1", 0x00), 0xFF);
    EXPECT_EQ(RelativeResult(", AND, 0F", 0x5A), 0x0A);
    EXPECT_EQ(RelativeResult(", OR, 0F", 0x50), 0x5F);
    EXPECT_EQ(RelativeResult(", XOR, FF", 0x5A), 0xA5);
    EXPECT_EQ(RelativeResult(", MUL, 3", 0x90), 0xB0);
    EXPECT_EQ(RelativeResult(", DIV, 3", 0x64), 0x21);
    EXPECT_EQ(RelativeResult(", COPY", 0x42), 0x42);
    EXPECT_EQ(RelativeResult("", 0x42), 0x42);
}

TEST(PrepareRelativeTest, DivisionByZeroLeavesTheTarget) {
    ImagedTemplate t = ImageLines({"[U]", "r = RELATIVE, 11, 10, DIV, 2"});
    ASSERT_EQ(t.parsed.error, ParseError::None);
    t.parsed.ItemAt(0, 0).RecordAs<RelativeRecord>().operand = 0;
    t.Data(0x10) = 0x40;
    t.Data(0x11) = 0x77;
    t.UnitAt(0).PrepareDerivedFields();
    EXPECT_EQ(t.Data(0x11), 0x77);
}

TEST(PrepareRelativeTest, BitFieldsAndByteOrderApplyToBothSides) {
    // Source: bits 4..7 of 0x10 (value 0xA); target: bits 0..3 of 0x11, whose high half stays.
    ImagedTemplate bits =
        Prepared({"[U]", "r = RELATIVE, 11.0-11.3, 10.4-10.7, ADD, 1"}, {{0x10, 0xA5}, {0x11, 0x70}});
    EXPECT_EQ(bits.Data(0x11), 0x7B);

    ImagedTemplate big =
        Prepared({"[U]", "r = RELATIVE, 12-13, 10-11, BENDIAN, XOR, FFFF"}, {{0x10, 0x12}, {0x11, 0x34}});
    EXPECT_EQ(big.Data(0x12), 0xED);
    EXPECT_EQ(big.Data(0x13), 0xCB);

    ImagedTemplate little =
        Prepared({"[U]", "r = RELATIVE, 12-13, 10-11, ADD, 1"}, {{0x10, 0xFF}, {0x11, 0x00}});
    EXPECT_EQ(little.Data(0x12), 0x00);
    EXPECT_EQ(little.Data(0x13), 0x01);
}

TEST(PrepareChecksumTest, ZerosAndOnesStartOneApart) {
    const std::vector<std::pair<std::uint32_t, std::uint8_t>> bytes = {{0x10, 1}, {0x11, 2}, {0x12, 3}};
    EXPECT_EQ(Prepared({"[U]", "c = CHECKSUM, 13, 10-12"}, bytes).Data(0x13), 0x05);
    EXPECT_EQ(Prepared({"[U]", "c = CHECKSUM, 13, 10-12, ZEROS"}, bytes).Data(0x13), 0x05);
    EXPECT_EQ(Prepared({"[U]", "c = CHECKSUM, 13, 10-12, ONES"}, bytes).Data(0x13), 0x06);
}

TEST(PrepareChecksumTest, WideFieldsKeepTheSumInTheirByteOrder) {
    const std::vector<std::pair<std::uint32_t, std::uint8_t>> bytes = {
        {0x10, 0xFF}, {0x11, 0xFF}, {0x12, 0x03}};
    // 0xFF + 0xFF + 0x03 = 0x201
    ImagedTemplate little = Prepared({"[U]", "c = CHECKSUM, 13-14, 10-12, ONES"}, bytes);
    EXPECT_EQ(little.Data(0x13), 0x01);
    EXPECT_EQ(little.Data(0x14), 0x02);
    ImagedTemplate big = Prepared({"[U]", "c = CHECKSUM, 13-16, 10-12, ONES, BENDIAN"}, bytes);
    EXPECT_EQ(big.Data(0x13), 0x00);
    EXPECT_EQ(big.Data(0x14), 0x00);
    EXPECT_EQ(big.Data(0x15), 0x02);
    EXPECT_EQ(big.Data(0x16), 0x01);
    // ZEROS starts at 0xFFFFFFFF: 0x201 - 1 = 0x200.
    ImagedTemplate zeros = Prepared({"[U]", "c = CHECKSUM, 13-14, 10-12"}, bytes);
    EXPECT_EQ(zeros.Data(0x13), 0x00);
    EXPECT_EQ(zeros.Data(0x14), 0x02);
}

TEST(PrepareChecksumTest, SumsSeeConstantsAndCopiesOfLaterItems) {
    // The checksum comes first in index order but is computed after every STATIC and RELATIVE.
    ImagedTemplate t = Prepared(
        {
            "[U]",
            "c = CHECKSUM, 13, 10-12, ONES",
            "s = STATIC, 10, 20",
            "r = RELATIVE, 12, 11, ADD, 5",
        },
        {{0x11, 0x01}});
    EXPECT_EQ(t.Data(0x12), 0x06);
    EXPECT_EQ(t.Data(0x13), 0x20 + 0x01 + 0x06);
}

TEST(PrepareChecksumTest, ChecksumsFollowIndexOrder) {
    // a covers b's field and comes first, so it sees b's old value; b covers a's field and sees the new one.
    ImagedTemplate t = Prepared({"[U]", "a = CHECKSUM, 11, 12-12, ONES", "b = CHECKSUM, 12, 11-11, ZEROS"},
                                {{0x11, 0xEE}, {0x12, 0x40}});
    EXPECT_EQ(t.Data(0x11), 0x40);
    EXPECT_EQ(t.Data(0x12), 0x3F);
}

TEST(PrepareChecksumTest, BackwardsRangeSumsNoByte) {
    ImagedTemplate t = Prepared({"[U]", "c = CHECKSUM, 10, 12-11"}, {{0x11, 0x33}});
    EXPECT_EQ(t.Data(0x10), 0xFF);
    EXPECT_EQ(t.Data(0x11), 0x33);
}

TEST(PrepareFixedByteTest, FixedByteIsRestored) {
    ImagedTemplate t = ImageLines({"[U, I2C8, A0]", "n = NUM, 1, 0-FF, DEC"});
    t.Data(0) = 0x00;
    t.UnitAt(0).PrepareDerivedFields();
    EXPECT_EQ(t.Data(0), 0xA0);
}

TEST(PrepareCrcTest, FieldHoldsTheCrcOfItsRangeInItsByteOrder) {
    const std::vector<std::pair<std::uint32_t, std::uint8_t>> text = {
        {0x10, '1'}, {0x11, '2'}, {0x12, '3'}, {0x13, '4'}, {0x14, '5'},
        {0x15, '6'}, {0x16, '7'}, {0x17, '8'}, {0x18, '9'},
    };
    ImagedTemplate little = Prepared({"[U]", "k = CRC, 19-1A, 10-18, CRC16-XMODEM"}, text);
    EXPECT_EQ(little.Data(0x19), 0xC3);
    EXPECT_EQ(little.Data(0x1A), 0x31);
    ImagedTemplate big = Prepared({"[U]", "k = CRC, 19-1A, 10-18, CRC16-CCITT, BENDIAN"}, text);
    EXPECT_EQ(big.Data(0x19), 0x29);
    EXPECT_EQ(big.Data(0x1A), 0xB1);
    ImagedTemplate wide = Prepared({"[U]", "k = CRC, 19-1C, 10-18, CRC32, LENDIAN"}, text);
    EXPECT_EQ(wide.Data(0x19), 0x26);
    EXPECT_EQ(wide.Data(0x1A), 0x39);
    EXPECT_EQ(wide.Data(0x1B), 0xF4);
    EXPECT_EQ(wide.Data(0x1C), 0xCB);
}

TEST(PrepareCrcTest, NarrowFieldKeepsTheLowBitsAndWideFieldIsFilledWithZeros) {
    const std::vector<std::pair<std::uint32_t, std::uint8_t>> text = {
        {0x10, '1'}, {0x11, '2'}, {0x12, '3'}, {0x13, '4'}, {0x14, '5'},
        {0x15, '6'}, {0x16, '7'}, {0x17, '8'}, {0x18, '9'},
    };
    EXPECT_EQ(Prepared({"[U]", "k = CRC, 19, 10-18, CRC16-ARC"}, text, 0xFF).Data(0x19), 0x3D);
    ImagedTemplate wide = Prepared({"[U]", "k = CRC, 19-1C, 10-18, CRC8, BENDIAN"}, text, 0xFF);
    EXPECT_EQ(wide.Data(0x19), 0x00);
    EXPECT_EQ(wide.Data(0x1A), 0x00);
    EXPECT_EQ(wide.Data(0x1B), 0x00);
    EXPECT_EQ(wide.Data(0x1C), 0xF4);
}

TEST(PrepareCrcTest, NegatedSumBalancesItsRange) {
    ImagedTemplate t = Prepared({"[U]", "s = STATIC, 10, 12, 34, 56", "k = CRC, 13, 10-12, SUM8-NEG"});
    EXPECT_EQ((t.Data(0x10) + t.Data(0x11) + t.Data(0x12) + t.Data(0x13)) % 256, 0);
}

TEST(PrepareCrcTest, CrcsAndChecksumsShareTheSecondPassInIndexOrder) {
    // c comes before the CRC: it sums the CRC field's old contents and the CRC sees c's new value; d comes
    // after the CRC and sums its new value.
    ImagedTemplate t = Prepared(
        {
            "[U]",
            "s = STATIC, 10, 5",
            "c = CHECKSUM, 11, 12-12, ONES",
            "k = CRC, 12, 10-11, CRC8",
            "d = CHECKSUM, 13, 12-12, ONES",
        },
        {{0x12, 0x99}});
    const std::uint8_t covered[] = {0x05, 0x99};
    const auto crc = static_cast<std::uint8_t>(ComputeCrc(CrcAlgorithm::Crc8, covered, 2));
    EXPECT_EQ(t.Data(0x11), 0x99);
    EXPECT_EQ(t.Data(0x12), crc);
    EXPECT_EQ(t.Data(0x13), crc);
}

TEST(PrepareCrcTest, PlaceholderComputesNothing) {
    ImagedTemplate t =
        Prepared({"[U]", "n = NUM, 10-11, 0-FFFF, DEC", "p = CRC, 10-11, 10-11, CRC99"}, {{0x10, 0x12}});
    EXPECT_EQ(t.Data(0x10), 0x12);
    EXPECT_EQ(t.Data(0x11), 0x00);
}

}  // namespace
}  // namespace tessaly
