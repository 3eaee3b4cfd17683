#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;
using Bytes = std::vector<std::uint8_t>;
using Stored = std::vector<std::pair<std::uint32_t, std::uint8_t>>;

// "123456789" at 0x10..0x18: each CRC's catalogued check value is its value over this text.
const Stored kCheckText = {{0x10, '1'}, {0x11, '2'}, {0x12, '3'}, {0x13, '4'}, {0x14, '5'},
                           {0x15, '6'}, {0x16, '7'}, {0x17, '8'}, {0x18, '9'}};
const Stored kOneTwoThree = {{0x10, 1}, {0x11, 2}, {0x12, 3}};
const Stored kBigSum = {{0x10, 0xFF}, {0x11, 0xFF}, {0x12, 3}};
const Stored kTwoBytes = {{0x10, 0x12}, {0x11, 0x34}};

// Each case loads its lines (a "[U]" title unless they start with one) between two pads at 0x10 and 0x23,
// stores the bytes, prepares the derived fields and expects the bytes from `first` on. Relative targets sit
// at 0x11 (over 0x77) and take their source from 0x10.
TEST(PrepareDerivedFieldsTest, EachFieldGetsItsValue) {
    const struct {
        std::vector<std::string_view> lines;
        Stored bytes;
        std::uint8_t fill;
        std::uint32_t first;
        Bytes expected;
    } cases[] = {
        {{"s = STATIC, 20, 1, 2, 3"}, {}, 0xFF, 0x20, {1, 2, 3, 0xFF}},
        {{"s = STATIC, 20.3"}, {}, 0xFF, 0x20, {0xF7}},
        {{"h = STATIC, 21.4-21.7, A"}, {}, 0xFF, 0x21, {0xAF}},
        {{"[U, I2C8, A0]", "n = NUM, 1, 0-FF, DEC"}, {{0, 0}}, 0, 0, {0xA0}},  // the fixed byte is restored
        // Operations wrap at 32 bits and are cut to the target.
        {{"r = RELATIVE, 11, 10, NOT"}, {{0x10, 0x5A}, {0x11, 0x77}}, 0, 0x11, {0xA5}},
        {{"r = RELATIVE, 11, 10, ADD, 1"}, {{0x10, 0xFF}, {0x11, 0x77}}, 0, 0x11, {0x00}},
        {{"r = RELATIVE, 11, 10, SUB, 1"}, {{0x10, 0x00}, {0x11, 0x77}}, 0, 0x11, {0xFF}},
        {{"r = RELATIVE, 11, 10, AND, 0F"}, {{0x10, 0x5A}, {0x11, 0x77}}, 0, 0x11, {0x0A}},
        {{"r = RELATIVE, 11, 10, OR, 0F"}, {{0x10, 0x50}, {0x11, 0x77}}, 0, 0x11, {0x5F}},
        {{"r = RELATIVE, 11, 10, XOR, FF"}, {{0x10, 0x5A}, {0x11, 0x77}}, 0, 0x11, {0xA5}},
        {{"r = RELATIVE, 11, 10, MUL, 3"}, {{0x10, 0x90}, {0x11, 0x77}}, 0, 0x11, {0xB0}},
        {{"r = RELATIVE, 11, 10, DIV, 3"}, {{0x10, 0x64}, {0x11, 0x77}}, 0, 0x11, {0x21}},
        {{"r = RELATIVE, 11, 10, COPY"}, {{0x10, 0x42}, {0x11, 0x77}}, 0, 0x11, {0x42}},
        {{"r = RELATIVE, 11, 10"}, {{0x10, 0x42}, {0x11, 0x77}}, 0, 0x11, {0x42}},
        // Bits 4..7 of the source (0xA) plus one into the low half of the target, whose high half stays.
        {{"r = RELATIVE, 11.0-11.3, 10.4-10.7, ADD, 1"}, {{0x10, 0xA5}, {0x11, 0x70}}, 0, 0x11, {0x7B}},
        {{"r = RELATIVE, 12-13, 10-11, BENDIAN, XOR, FFFF"}, kTwoBytes, 0, 0x12, {0xED, 0xCB}},
        {{"r = RELATIVE, 12-13, 10-11, ADD, 1"}, {{0x10, 0xFF}, {0x11, 0x00}}, 0, 0x12, {0x00, 0x01}},
        // ZEROS (the default) starts at 0xFFFFFFFF, ONES at 0: 1 + 2 + 3 comes out one apart.
        {{"c = CHECKSUM, 13, 10-12"}, kOneTwoThree, 0, 0x13, {0x05}},
        {{"c = CHECKSUM, 13, 10-12, ONES"}, kOneTwoThree, 0, 0x13, {0x06}},
        // 0xFF + 0xFF + 0x03 = 0x201, kept in the field's byte order.
        {{"c = CHECKSUM, 13-14, 10-12, ONES"}, kBigSum, 0, 0x13, {0x01, 0x02}},
        {{"c = CHECKSUM, 13-16, 10-12, ONES, BENDIAN"}, kBigSum, 0, 0x13, {0x00, 0x00, 0x02, 0x01}},
        // A backwards range sums nothing.
        {{"c = CHECKSUM, 10, 12-11"}, {{0x11, 0x33}}, 0, 0x10, {0xFF, 0x33}},
        {{"k = CRC, 19-1A, 10-18, CRC16-XMODEM"}, kCheckText, 0, 0x19, {0xC3, 0x31}},
        {{"k = CRC, 19-1A, 10-18, CRC16-CCITT, BENDIAN"}, kCheckText, 0, 0x19, {0x29, 0xB1}},
        {{"k = CRC, 19-1C, 10-18, crc32, LENDIAN"}, kCheckText, 0, 0x19, {0x26, 0x39, 0xF4, 0xCB}},
        // A narrow field keeps the low bits; a wide one is filled with zeros.
        {{"k = CRC, 19, 10-18, CRC16-ARC"}, kCheckText, 0xFF, 0x19, {0x3D}},
        {{"k = CRC, 19-1C, 10-18, CRC8, BENDIAN"}, kCheckText, 0xFF, 0x19, {0x00, 0x00, 0x00, 0xF4}},
        {{"k = CRC, 13, 10-12, SUM8-NEG"}, {{0x10, 0x12}, {0x11, 0x34}, {0x12, 0x56}}, 0, 0x13, {0x64}},
        {{"k = CRC, 13, 10-12, SUM8"}, {{0x10, 0x12}, {0x11, 0x34}, {0x12, 0x56}}, 0, 0x13, {0x9C}},
        {{"p = CRC, 10-11, 10-11, CRC99"}, {{0x10, 0x12}}, 0, 0x10, {0x12, 0x00}},  // a placeholder
        // Constants and relative fields come first, whatever the index order: the sum sees both.
        {{"c = CHECKSUM, 13, 10-12, ONES", "s = STATIC, 10, 20", "r = RELATIVE, 12, 11, ADD, 5"},
         {{0x11, 0x01}},
         0,
         0x12,
         {0x06, 0x20 + 0x01 + 0x06}},
        // Then sums and CRCs in index order: each sees the fields before it at their new values, the later
        // ones at their old.
        {{"a = CHECKSUM, 11, 12-12, ONES", "b = CHECKSUM, 12, 11-11, ZEROS"},
         {{0x11, 0xEE}, {0x12, 0x40}},
         0,
         0x11,
         {0x40, 0x3F}},
        {{"s = STATIC, 10, 5", "c = CHECKSUM, 11, 12-12, ONES", "k = CRC, 12, 10-11, CRC8",
          "d = CHECKSUM, 13, 12-12, ONES"},
         {{0x12, 0x99}},
         0,
         0x11,
         {0x99, 0x87, 0x87}},  // 0x87 is the CRC-8 of 05 99
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        std::vector<std::string_view> lines = c.lines;
        if (lines.front().front() != '[') {
            lines.insert(lines.begin(), "[U]");
        }
        lines.insert(lines.end(), {"lo = NUM, 10, 0-FF, DEC", "hi = NUM, 23, 0-FF, DEC"});
        ImagedTemplate t = test::ImageLines(lines, c.fill);
        ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
        for (const auto& [address, value] : c.bytes) {
            t.Data(address) = value;
        }
        t.UnitAt(0).PrepareDerivedFields();
        Bytes actual;
        for (std::uint32_t a = c.first; a < c.first + c.expected.size(); ++a) {
            actual.push_back(t.Data(a));
        }
        EXPECT_EQ(actual, c.expected);
        EXPECT_TRUE(t.GuardsIntact());
    }
}

// A disabled constant is still written; a division by zero (which the parser refuses) leaves the target.
TEST(PrepareDerivedFieldsTest, DisabledConstantsAndDivisionByZero) {
    ImagedTemplate t = test::ImageLines({"[U]", "s = STATIC, 20, 5A", "r = RELATIVE, 11, 10, DIV, 2"});
    ASSERT_TRUE(t.UnitAt(0).SetItemEnabled(0, false));
    t.parsed.ItemAt(0, 1).RecordAs<RelativeRecord>().operand = 0;
    t.Data(0x10) = 0x40;
    t.Data(0x11) = 0x77;
    t.UnitAt(0).PrepareDerivedFields();
    EXPECT_EQ(t.Data(0x20), 0x5A);
    EXPECT_EQ(t.Data(0x11), 0x77);
}

}  // namespace
}  // namespace tessaly
