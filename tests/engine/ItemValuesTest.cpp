#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"
#include "engine/ValueText.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;
using Bytes = std::vector<std::uint8_t>;

constexpr char kNoText[] = "<no text>";
constexpr auto kBadBase = static_cast<NumberBase>(3);

std::string ValueText(const Unit& unit, std::uint32_t index) {
    std::string text;
    return unit.GetValueText(index, text) ? text : kNoText;
}

std::string ChoiceText(const Unit& unit, std::uint32_t index, std::uint32_t value) {
    std::string text;
    return unit.GetChoiceText(index, value, text) ? text : kNoText;
}

// Loads "[U]", the entry (item 0, from 0x10 on) and a pad that widens the image, so that a read or write
// past the end of the entry's field would show; the bytes are stored from 0x10 on.
ImagedTemplate OneItem(std::string_view entry, std::uint8_t fill, const Bytes& bytes = {}) {
    ImagedTemplate t = test::ImageLines({"[U]", entry, "pad = NUM, 3F, 0-FF, HEX"}, fill);
    EXPECT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    for (std::uint32_t i = 0; i < bytes.size(); ++i) {
        t.Data(0x10 + i) = bytes[i];
    }
    return t;
}

TEST(ItemValueTest, ShowsTheTextOfTheStoredBytes) {
    const struct {
        const char* entry;
        std::uint8_t fill;
        Bytes bytes;
        const char* shown;
    } cases[] = {
        {"w = BIT, 10.0-10.1, Off, On", 0, {0x02}, kNoText},
        {"a = BIT, 10.0, , On", 0, {0x00}, kNoText},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0, {0x1F}, "Run"},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0, {0x20}, kNoText},
        // Ten bits wide, but the range's two halves ask for only 4 texts.
        {"e = ENUM, 10.0-11.1, A, B, C, D", 0, {0x02, 0x00}, "C"},
        {"e = ENUM, 10.0-11.1, A, B, C, D", 0, {0x02, 0x03}, kNoText},
        {"n = NUM, 10, 0-FF, DEC, 0.5", 7, {}, "3"},
        {"n = NUM, 10-13, 0-FFFFFFFF, DEC", 0xFF, {}, "4294967295"},
        {"n = NUM, 10-13, 0-FFFFFFFF, DEC, 2", 0xFF, {}, "4294967295"},  // saturates instead of wrapping
        {"z = STRING, 10-14, ASCIIZ", 0, {'H', 'E', 'L', 'L', 'O'}, "HELLO"},
        {"c = STRING, 10-13, COUNTER, 1", 'x', {0xFF, 'a', 'b', 'c'}, "abc"},
        // Without BENDIAN the two-byte counter's high byte comes first; with it, the low byte.
        {"a = STRING, 10-16, COUNTER, 2", '.', {0x01, 0x03, 'A', 'B', 'C'}, "ABC.."},
        {"b = STRING, 10-16, COUNTER, 2, BENDIAN", '.', {0x04, 0x00, 'A', 'B', 'C'}, "ABC."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueText(OneItem(c.entry, c.fill, c.bytes).UnitAt(0), 0), c.shown) << c.entry;
    }
}

TEST(ItemValueTest, JudgesTextsBeforeTheyAreSet) {
    const struct {
        const char* entry;
        const char* text;
        ValueCheck result;
    } cases[] = {
        {"b = BIT, 10.2, Off, On", "on", ValueCheck::WrongOrAboveMaximum},
        {"a = BIT, 10.0, , On", "", ValueCheck::WrongOrAboveMaximum},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", "Sleep", ValueCheck::WrongOrAboveMaximum},
        {"n = NUM, 10, 0-FF, DEC, 0.5", "127", ValueCheck::Valid},
        {"n = NUM, 10, 0-FF, DEC, 0.5", "128", ValueCheck::WrongOrAboveMaximum},
        {"h = NUM, 10, 0-FF, HEX", "0xFF", ValueCheck::CannotJudge},
        {"n = NUM, 10, 10-20, DEC", "15", ValueCheck::BelowMinimum},
        {"n = NUM, 10, 10-20, DEC", "16", ValueCheck::Valid},
        {"n = NUM, 10, 10-20, DEC", "32", ValueCheck::Valid},
        {"n = NUM, 10, 10-20, DEC", "33", ValueCheck::WrongOrAboveMaximum},
        {"n = NUM, 10, 10-20, DEC", "4294967312", ValueCheck::WrongOrAboveMaximum},
        {"z = STRING, 10-17, ASCIIZ", "1234567", ValueCheck::Valid},
        {"z = STRING, 10-17, ASCIIZ", "12345678", ValueCheck::WrongOrAboveMaximum},
        {"w = STRING, 10-17, COUNTER, 2", "123456", ValueCheck::Valid},
        {"w = STRING, 10-17, COUNTER, 2", "1234567", ValueCheck::WrongOrAboveMaximum},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OneItem(c.entry, 0).UnitAt(0).ValidateValueText(0, c.text), c.result)
            << c.entry << " <- " << c.text;
    }
}

TEST(ItemValueTest, SettingWritesOnlyTheFieldOfTheItem) {
    const struct {
        const char* entry;
        std::uint8_t fill;
        const char* text;
        bool accepted;
        Bytes bytes;  // expected from 0x10 on
        const char* shown;
    } cases[] = {
        {"b = BIT, 10.2, Off, On", 0xA1, "On", true, {0xA5}, "On"},
        {"b = BIT, 10.2, Off, On", 0xA1, "ON", false, {0xA1}, "Off"},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0x81, "Test", true, {0xB1}, "Test"},
        {"n = NUM, 10, 0-FF, DEC, 0.5", 7, "3", true, {6}, "3"},
        {"h = NUM, 10, 0-FF, HEX", 0, "ff", true, {0xFF}, "FF"},
        {"n = NUM, 10, 10-20, DEC", 0x18, "15", false, {0x18}, "24"},
        {"n = NUM, 10-11, 0-FFFF, DEC, BENDIAN, 0.5", 0, "1000", true, {0x07, 0xD0, 0}, "1000"},
        {"n = NUM, 10.4-11.3, 0-FF, HEX", 0x66, "AB", true, {0xB6, 0x6A, 0x66}, "AB"},
        {"z = STRING, 10-14, ASCIIZ", 'x', "HI", true, {'H', 'I', 0, 'x', 'x', 'x'}, "HI"},
        {"c = STRING, 10-13, COUNTER, 1", 'x', "Z", true, {1, 'Z', 'x', 'x', 'x'}, "Z"},
        {"a = STRING, 10-16, COUNTER, 2",
         '.',
         "ABC",
         true,
         {0x00, 0x03, 'A', 'B', 'C', '.', '.', '.'},
         "ABC"},
        {"b = STRING, 10-16, COUNTER, 2, BENDIAN", '.', "ABC", true, {0x03, 0x00, 'A', 'B', 'C', '.'}, "ABC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " <- \"" + c.text + "\"");
        ImagedTemplate t = OneItem(c.entry, c.fill);
        Unit& unit = t.UnitAt(0);
        EXPECT_EQ(unit.SetValueText(0, c.text), c.accepted);
        Bytes actual;
        for (std::uint32_t i = 0; i < c.bytes.size(); ++i) {
            actual.push_back(t.Data(0x10 + i));
        }
        EXPECT_EQ(actual, c.bytes);
        EXPECT_EQ(ValueText(unit, 0), c.shown);
        EXPECT_TRUE(t.GuardsIntact());
    }
}

// An ENUM over a whole byte with 256 texts (0 "v", 200 "w", 255 "z", the others empty) shows its value but
// has too many texts to be edited.
TEST(ItemValueTest, FullByteEnumShowsItsValueButCannotBeChanged) {
    std::string entry = "e = ENUM, 10.0-10.7,v";
    for (int i = 1; i < 256; ++i) {
        entry += i == 200 ? ",w" : i == 255 ? ",z" : ",";
    }
    ImagedTemplate t = OneItem(entry, 200);
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), "w");
    t.Data(0x10) = 5;
    EXPECT_EQ(ValueText(unit, 0), kNoText);
    EXPECT_EQ(ChoiceText(unit, 0, 0), "v");
    EXPECT_EQ(ChoiceText(unit, 0, 5), "");
    EXPECT_EQ(ChoiceText(unit, 0, 255), "z");
    EXPECT_EQ(ChoiceText(unit, 0, 256), kNoText);
    EXPECT_EQ(unit.ValidateValueText(0, "w"), ValueCheck::WrongOrAboveMaximum);
    EXPECT_FALSE(unit.SetValueText(0, "w"));
    EXPECT_EQ(unit.DescribeItem(0), "Choice:");
}

// Constants and titles accept any text but have no value; derived fields, indices past the items and
// units without images have nothing to judge, show or set.
TEST(ItemValueTest, ItemsWithoutAValue) {
    ImagedTemplate t = test::ImageLines({"[U]", "s = STATIC, 10, 5", "t = TITLE", "r = RELATIVE, 11, 10",
                                         "c = CHECKSUM, 12, 10-11", "k = CRC, 13, 10-12, CRC8", "p = CRC"});
    Unit& unit = t.UnitAt(0);
    for (const std::uint32_t i : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 1024u, 0xFFFFFFFFu}) {
        EXPECT_EQ(unit.ValidateValueText(i, "0"), i < 2 ? ValueCheck::Valid : ValueCheck::CannotJudge) << i;
        EXPECT_FALSE(unit.SetValueText(i, "0")) << i;
        EXPECT_EQ(ValueText(unit, i), kNoText) << i;
        EXPECT_EQ(ChoiceText(unit, i, 0), kNoText) << i;
        EXPECT_EQ(unit.DescribeItem(i), "") << i;
    }
    EXPECT_EQ(t.Data(0x10), 0);
    EXPECT_FALSE(unit.IsListedItem(7));
    EXPECT_FALSE(unit.SetItemEnabled(7, true));
    test::ParsedTemplate bare = test::ParseLines({"[U]", "n = NUM, 10, 0-FF, DEC"});
    EXPECT_EQ(ValueText(bare.UnitAt(0), 0), kNoText);
    EXPECT_FALSE(bare.UnitAt(0).SetValueText(0, "5"));
    bare.UnitAt(0).PrepareDerivedFields();
    bare.UnitAt(0).UpdateProgramMask();
}

// The enumeration's texts are shown by the full-byte case above.
TEST(ItemValueTest, BitOffersItsTextsInOrder) {
    ImagedTemplate t = test::ImageLines({"[U]", "b = BIT, 10.0, , On"});
    EXPECT_EQ(ChoiceText(t.UnitAt(0), 0, 0), "");
    EXPECT_EQ(ChoiceText(t.UnitAt(0), 0, 1), "On");
    EXPECT_EQ(ChoiceText(t.UnitAt(0), 0, 2), kNoText);
}

// The edit tip: the choices or the range.
TEST(ItemValueTest, DescriptionsNameTheChoicesOrTheRange) {
    ImagedTemplate t = test::ImageLines({
        "[U]",
        "b = BIT, 10.0, , On",
        "e = ENUM, 11.0-11.1, Idle, , Run, Test",
        "h = NUM, 12, 10-FF, HEX",
        "d = NUM, 13, 0-FF, DEC, 0.5",
        "i = NUM, 14, 0-3, BIN",
        "z = STRING, 20-27, ASCIIZ",
        "w = STRING, 40-47, COUNTER, 2",
    });
    const Unit& unit = t.UnitAt(0);
    const char* descriptions[] = {
        "Bit:  \r\n[]\r\n[On]",
        "Choice:\r\n   [Idle]\r\n   [Run]\r\n   [Test]",
        "Number (hexidecimal):\r\n   10-FF",
        "Number (decimal):\r\n   0-255",
        "Number (binary):\r\n   0-11",
        "String (up to 7 characters)",
        "String (up to 6 characters)",
    };
    for (std::uint32_t i = 0; i < std::size(descriptions); ++i) {
        EXPECT_EQ(unit.DescribeItem(i), descriptions[i]) << i;
    }
}

// Digits of the base only, in either case; no sign, prefix, blank or empty text. Beyond 32 bits the value
// does not wrap. What is formatted (the item tests show its form) parses back.
TEST(ValueTextTest, ParsesAndFormatsTheDigitsOfTheBase) {
    const struct {
        const char* text;
        NumberBase base;
        bool parses;
        double value;
    } cases[] = {
        {"ff", NumberBase::Hex, true, 255},
        {"aBc", NumberBase::Hex, true, 0xABC},
        {"0xFF", NumberBase::Hex, false, 0},
        {"FG", NumberBase::Hex, false, 0},
        {"0042", NumberBase::Dec, true, 42},
        {"-1", NumberBase::Dec, false, 0},
        {" 1", NumberBase::Dec, false, 0},
        {"1.5", NumberBase::Dec, false, 0},
        {"1010", NumberBase::Bin, true, 10},
        {"102", NumberBase::Bin, false, 0},
        {"", NumberBase::Dec, false, 0},
        {"1", kBadBase, false, 0},
        {"100000000", NumberBase::Hex, true, 4294967296.0},
    };
    for (const auto& c : cases) {
        double value = -1.0;
        EXPECT_EQ(ParseValueText(c.text, c.base, value), c.parses) << c.text;
        EXPECT_EQ(value, c.parses ? c.value : -1.0) << c.text;
    }
    std::string text = "kept";
    EXPECT_FALSE(FormatValueText(5, kBadBase, text));
    EXPECT_EQ(text, "kept");
    for (const NumberBase base : {NumberBase::Bin, NumberBase::Dec, NumberBase::Hex}) {
        for (const std::uint32_t value : {0u, 1u, 7u, 255u, 256u, 65535u, 0x12345678u, 0xFFFFFFFFu}) {
            double parsed = -1.0;
            ASSERT_TRUE(FormatValueText(value, base, text));
            ASSERT_TRUE(ParseValueText(text, base, parsed));
            EXPECT_EQ(parsed, static_cast<double>(value)) << text;
        }
    }
}

}  // namespace
}  // namespace tessaly
