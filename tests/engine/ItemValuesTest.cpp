#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "TestTemplates.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;
using test::ImageLines;

constexpr char kNoText[] = "<no text>";

ImagedTemplate Loaded(const std::vector<std::string_view>& lines, std::uint8_t fill = 0x00) {
    ImagedTemplate t = ImageLines(lines, fill);
    EXPECT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    return t;
}

std::string ValueText(const Unit& unit, std::uint32_t index) {
    std::string text;
    return unit.GetValueText(index, text) ? text : kNoText;
}

std::string ChoiceText(const Unit& unit, std::uint32_t index, std::uint32_t value) {
    std::string text;
    return unit.GetChoiceText(index, value, text) ? text : kNoText;
}

int Check(const Unit& unit, std::uint32_t index, std::string_view text) {
    return static_cast<int>(unit.ValidateValueText(index, text));
}

std::vector<std::uint8_t> Bytes(ImagedTemplate& t, std::uint32_t first, std::uint32_t last) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t address = first; address <= last; ++address) {
        bytes.push_back(t.Data(address));
    }
    return bytes;
}

// An ENUM over a whole byte: 256 texts, of which only 0 "v", 200 "w" and 255 "z" are given.
std::string FullByteEnum() {
    std::string entry = "e = ENUM, 10.0-10.7,v";
    for (int i = 1; i < 256; ++i) {
        entry += ',';
        entry += i == 200 ? "w" : i == 255 ? "z" : "";
    }
    return entry;
}

// Every table below loads "[U]", its entry (item 0, starting at 0x10) and a pad item that widens the image,
// so that a read or write past the end of the entry's field would show.
ImagedTemplate OneItem(std::string_view entry, std::uint8_t fill = 0x00) {
    return Loaded({"[U]", entry, "pad = NUM, 3F, 0-FF, HEX"}, fill);
}

struct ShownCase {
    const char* entry;
    std::uint8_t fill;
    std::vector<std::uint8_t> bytes;  // stored from 0x10 on
    const char* shown;
};

TEST(ItemValueTest, ShowsTheTextOfTheStoredBytes) {
    const ShownCase cases[] = {
        {"b = BIT, 10.2, Off, On", 0, {0xFB}, "Off"},
        {"b = BIT, 10.2, Off, On", 0, {0x04}, "On"},
        {"w = BIT, 10.0-10.1, Off, On", 0, {0x02}, kNoText},
        {"w = BIT, 10.0-10.1, Off, On", 0, {0x01}, "On"},
        {"a = BIT, 10.0, , On", 0, {0x00}, kNoText},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0, {0x1F}, "Run"},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0, {0x20}, kNoText},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0, {0xF0}, "Test"},
        // Ten bits wide, but the range's two halves ask for only 4 texts.
        {"e = ENUM, 10.0-11.1, A, B, C, D", 0, {0x02, 0x00}, "C"},
        {"e = ENUM, 10.0-11.1, A, B, C, D", 0, {0x02, 0x03}, kNoText},
        {"e = ENUM, 10.0-11.1, A, B, C, D", 0, {0xFF, 0x00}, kNoText},
        {"n = NUM, 10, 0-FF, DEC, 0.5", 7, {}, "3"},
        {"n = NUM, 10-13, 0-FFFFFFFF, DEC", 0xFF, {}, "4294967295"},
        {"h = NUM, 10-13, 0-FFFFFFFF, HEX", 0xFF, {}, "FFFFFFFF"},
        {"n = NUM, 10-13, 0-FFFFFFFF, DEC, 2", 0xFF, {}, "4294967295"},  // saturates instead of wrapping
        {"b = NUM, 10, 0-FF, BIN", 5, {}, "101"},
        {"z = STRING, 10-14, ASCIIZ", 0, {'H', 'E', 'L', 'L', 'O'}, "HELLO"},
        {"z = STRING, 10-13, ASCIIZ", 'x', {}, "xxxx"},
        {"c = STRING, 10-13, COUNTER, 1", 'x', {0xFF, 'a', 'b', 'c'}, "abc"},
        {"c = STRING, 10-13, COUNTER, 1", 'x', {0x02, 'a', 'b', 'c'}, "ab"},
        // Without BENDIAN the two-byte counter's high byte comes first; with it, the low byte.
        {"a = STRING, 10-16, COUNTER, 2", '.', {0x00, 0x02, 'A', 'B', 'C'}, "AB"},
        {"a = STRING, 10-16, COUNTER, 2", '.', {0x01, 0x03, 'A', 'B', 'C'}, "ABC.."},
        {"b = STRING, 10-16, COUNTER, 2, BENDIAN", '.', {0x04, 0x00, 'A', 'B', 'C'}, "ABC."},
    };
    for (const ShownCase& c : cases) {
        SCOPED_TRACE(c.entry);
        ImagedTemplate t = OneItem(c.entry, c.fill);
        for (std::size_t i = 0; i < c.bytes.size(); ++i) {
            t.Data(0x10 + static_cast<std::uint32_t>(i)) = c.bytes[i];
        }
        EXPECT_EQ(ValueText(t.UnitAt(0), 0), c.shown);
    }
}

TEST(ItemValueTest, JudgesTextsBeforeTheyAreSet) {
    const struct {
        const char* entry;
        const char* text;
        int result;  // 0 fits, 1 too large or unknown, -1 too small, -2 not a value of the item
    } cases[] = {
        {"b = BIT, 10.2, Off, On", "On", 0},
        {"b = BIT, 10.2, Off, On", "Off", 0},
        {"b = BIT, 10.2, Off, On", "on", 1},
        {"b = BIT, 10.2, Off, On", "On ", 1},
        {"a = BIT, 10.0, , On", "", 1},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", "Test", 0},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", "", 1},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", "Sleep", 1},
        {"n = NUM, 10, 0-FF, DEC, 0.5", "127", 0},
        {"n = NUM, 10, 0-FF, DEC, 0.5", "128", 1},
        {"h = NUM, 10, 0-FF, HEX", "ff", 0},
        {"h = NUM, 10, 0-FF, HEX", "0xFF", -2},
        {"d = NUM, 10, 0-FF, DEC", "-1", -2},
        {"d = NUM, 10, 0-FF, DEC", "+1", -2},
        {"d = NUM, 10, 0-FF, DEC", "", -2},
        {"b = NUM, 10, 0-FF, BIN", "2", -2},
        {"n = NUM, 10, 10-20, DEC", "15", -1},
        {"n = NUM, 10, 10-20, DEC", "16", 0},
        {"n = NUM, 10, 10-20, DEC", "32", 0},
        {"n = NUM, 10, 10-20, DEC", "33", 1},
        {"n = NUM, 10, 10-20, DEC", "4294967312", 1},
        {"n = NUM, 10, 10-20, DEC", "99999999999999999999", 1},
        {"z = STRING, 10-17, ASCIIZ", "", 0},
        {"z = STRING, 10-17, ASCIIZ", "1234567", 0},
        {"z = STRING, 10-17, ASCIIZ", "12345678", 1},
        {"c = STRING, 10-17, COUNTER, 1", "1234567", 0},
        {"c = STRING, 10-17, COUNTER, 1", "12345678", 1},
        {"w = STRING, 10-17, COUNTER, 2", "123456", 0},
        {"w = STRING, 10-17, COUNTER, 2", "1234567", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " <- \"" + c.text + "\"");
        EXPECT_EQ(Check(OneItem(c.entry).UnitAt(0), 0, c.text), c.result);
    }
}

struct SetCase {
    const char* entry;
    std::uint8_t fill;
    const char* text;
    bool accepted;
    std::vector<std::uint8_t> bytes;  // expected from 0x10 on
    const char* shown;
};

TEST(ItemValueTest, SettingWritesOnlyTheFieldOfTheItem) {
    const SetCase cases[] = {
        {"b = BIT, 10.2, Off, On", 0xA1, "On", true, {0xA5}, "On"},
        {"b = BIT, 10.2, Off, On", 0xA1, "ON", false, {0xA1}, "Off"},
        {"b = BIT, 10.2, Off, On", 0xA5, "Off", true, {0xA1}, "Off"},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0x81, "Test", true, {0xB1}, "Test"},
        {"e = ENUM, 10.4-10.5, Idle, Run, , Test", 0x81, "Run", true, {0x91}, "Run"},
        {"n = NUM, 10, 0-FF, DEC, 0.5", 7, "3", true, {6}, "3"},
        {"n = NUM, 10, 0-FF, DEC, 0.5", 7, "4", true, {8}, "4"},
        {"h = NUM, 10, 0-FF, HEX", 0, "ff", true, {0xFF}, "FF"},
        {"b = NUM, 10, 0-FF, BIN", 0, "11111111", true, {0xFF}, "11111111"},
        {"n = NUM, 10, 10-20, DEC", 0x18, "15", false, {0x18}, "24"},
        {"n = NUM, 10, 10-20, DEC", 0x18, "4294967312", false, {0x18}, "24"},
        {"n = NUM, 10-11, 0-FFFF, DEC, BENDIAN, 0.5", 0, "1000", true, {0x07, 0xD0, 0}, "1000"},
        {"n = NUM, 10.4-11.3, 0-FF, HEX", 0x66, "AB", true, {0xB6, 0x6A, 0x66}, "AB"},
        {"z = STRING, 10-14, ASCIIZ", 'x', "HI", true, {'H', 'I', 0, 'x', 'x', 'x'}, "HI"},
        {"z = STRING, 10-14, ASCIIZ", 'x', "", true, {0, 'x', 'x', 'x', 'x', 'x'}, ""},
        {"c = STRING, 10-13, COUNTER, 1", 'x', "Z", true, {1, 'Z', 'x', 'x', 'x'}, "Z"},
        {"a = STRING, 10-16, COUNTER, 2",
         '.',
         "ABC",
         true,
         {0x00, 0x03, 'A', 'B', 'C', '.', '.', '.'},
         "ABC"},
        {"b = STRING, 10-16, COUNTER, 2, BENDIAN", '.', "ABC", true, {0x03, 0x00, 'A', 'B', 'C', '.'}, "ABC"},
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " <- \"" + c.text + "\"");
        ImagedTemplate t = OneItem(c.entry, c.fill);
        Unit& unit = t.UnitAt(0);
        EXPECT_EQ(unit.SetValueText(0, c.text), c.accepted);
        EXPECT_EQ(Bytes(t, 0x10, 0x10 + static_cast<std::uint32_t>(c.bytes.size()) - 1), c.bytes);
        EXPECT_EQ(ValueText(unit, 0), c.shown);
        EXPECT_TRUE(t.GuardsIntact());
    }
}

TEST(EnumValueTest, FullByteShowsItsValueButCannotBeChanged) {
    ImagedTemplate t = Loaded({"[U]", FullByteEnum()}, 200);
    Unit& unit = t.UnitAt(0);
    ASSERT_EQ(t.parsed.ItemAt(0, 0).RecordAs<EnumRecord>().count, 0);
    EXPECT_EQ(ValueText(unit, 0), "w");
    t.Data(0x10) = 255;
    EXPECT_EQ(ValueText(unit, 0), "z");
    t.Data(0x10) = 5;
    EXPECT_EQ(ValueText(unit, 0), kNoText);

    EXPECT_EQ(ChoiceText(unit, 0, 0), "v");
    EXPECT_EQ(ChoiceText(unit, 0, 5), "");
    EXPECT_EQ(ChoiceText(unit, 0, 255), "z");
    EXPECT_EQ(ChoiceText(unit, 0, 256), kNoText);

    EXPECT_EQ(Check(unit, 0, "w"), 1);
    EXPECT_FALSE(unit.SetValueText(0, "w"));
    EXPECT_EQ(t.Data(0x10), 5);
    EXPECT_EQ(unit.DescribeItem(0), "Choice:");
}

TEST(NumValueTest, HostileScalesGiveSaturatedValues) {
    ImagedTemplate t = Loaded({"[U]", "n = NUM, 10, 0-FF, DEC, 2"}, 1);
    Unit& unit = t.UnitAt(0);
    float& scale = t.parsed.ItemAt(0, 0).RecordAs<NumRecord>().scale;
    scale = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ValueText(unit, 0), "0");
    scale = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ValueText(unit, 0), "4294967295");
    EXPECT_TRUE(unit.SetValueText(0, "7"));
    EXPECT_EQ(t.Data(0x10), 0);
    scale = -1.0f;
    EXPECT_EQ(ValueText(unit, 0), "0");
    EXPECT_EQ(Check(unit, 0, "7"), -1);
}

TEST(FixedItemValueTest, ConstantsAndTitlesAreAcceptedButHaveNoValue) {
    ImagedTemplate t = Loaded({"[U]", "s = STATIC, 10, 5", "t = TITLE"});
    Unit& unit = t.UnitAt(0);
    for (std::uint32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Check(unit, i, "anything"), 0);
        EXPECT_FALSE(unit.SetValueText(i, "anything"));
        EXPECT_EQ(ValueText(unit, i), kNoText);
        EXPECT_EQ(unit.DescribeItem(i), "");
    }
    EXPECT_EQ(t.Data(0x10), 0);
}

TEST(FixedItemValueTest, DerivedItemsCannotBeJudged) {
    ImagedTemplate t = Loaded({
        "[U]",
        "r = RELATIVE, 11, 10",
        "c = CHECKSUM, 12, 10-11",
        "k = CRC, 13, 10-12, CRC8",
        "p = CRC",
    });
    Unit& unit = t.UnitAt(0);
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Check(unit, i, "0"), -2) << i;
        EXPECT_FALSE(unit.SetValueText(i, "0")) << i;
        EXPECT_EQ(ValueText(unit, i), kNoText) << i;
        EXPECT_EQ(ChoiceText(unit, i, 0), kNoText) << i;
        EXPECT_EQ(unit.DescribeItem(i), "") << i;
    }
}

TEST(FixedItemValueTest, IndexPastTheItemsFailsEverywhere) {
    ImagedTemplate t = Loaded({"[U]", "b = BIT, 10.0, Off, On"});
    Unit& unit = t.UnitAt(0);
    for (const std::uint32_t index : {1u, 1023u, 1024u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Check(unit, index, "On"), -2);
        EXPECT_FALSE(unit.SetValueText(index, "On"));
        EXPECT_EQ(ValueText(unit, index), kNoText);
        EXPECT_EQ(ChoiceText(unit, index, 0), kNoText);
        EXPECT_EQ(unit.DescribeItem(index), "");
        EXPECT_FALSE(unit.IsListedItem(index));
        EXPECT_FALSE(unit.SetItemEnabled(index, true));
    }
}

TEST(FixedItemValueTest, NothingIsReadOrWrittenWithoutImages) {
    test::ParsedTemplate t = test::ParseLines({"[U]", "n = NUM, 10, 0-FF, DEC"});
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), kNoText);
    EXPECT_EQ(Check(unit, 0, "5"), 0);
    EXPECT_FALSE(unit.SetValueText(0, "5"));
    unit.PrepareDerivedFields();
    unit.UpdateProgramMask();
}

TEST(ChoiceTextTest, BitAndEnumOfferTheirTextsInOrder) {
    ImagedTemplate t =
        Loaded({"[U]", "b = BIT, 10.0, , On", "e = ENUM, 11.0-11.1, A, B, , D", "n = NUM, 12, 0-1, DEC"});
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ChoiceText(unit, 0, 0), "");
    EXPECT_EQ(ChoiceText(unit, 0, 1), "On");
    EXPECT_EQ(ChoiceText(unit, 0, 2), kNoText);
    EXPECT_EQ(ChoiceText(unit, 1, 0), "A");
    EXPECT_EQ(ChoiceText(unit, 1, 2), "");
    EXPECT_EQ(ChoiceText(unit, 1, 3), "D");
    EXPECT_EQ(ChoiceText(unit, 1, 4), kNoText);
    EXPECT_EQ(ChoiceText(unit, 2, 0), kNoText);
}

TEST(DescribeItemTest, EachKindWithAValueDescribesItsChoicesOrRange) {
    ImagedTemplate t = Loaded({
        "[U]",
        "b = BIT, 10.0, Off, On",
        "e = ENUM, 11.0-11.1, Idle, , Run, Test",
        "h = NUM, 12, 10-FF, HEX",
        "d = NUM, 13, 0-FF, DEC, 0.5",
        "i = NUM, 14, 0-3, BIN",
        "z = STRING, 20-27, ASCIIZ",
        "c = STRING, 30-37, COUNTER, 1",
        "w = STRING, 40-47, COUNTER, 2",
        "a = BIT, 15.0, , On",
    });
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(unit.DescribeItem(0), "Bit:  \r\n[Off]\r\n[On]");
    EXPECT_EQ(unit.DescribeItem(1), "Choice:\r\n   [Idle]\r\n   [Run]\r\n   [Test]");
    EXPECT_EQ(unit.DescribeItem(2), "Number (hexidecimal):\r\n   10-FF");
    EXPECT_EQ(unit.DescribeItem(3), "Number (decimal):\r\n   0-255");
    EXPECT_EQ(unit.DescribeItem(4), "Number (binary):\r\n   0-11");
    EXPECT_EQ(unit.DescribeItem(5), "String (up to 7 characters)");
    EXPECT_EQ(unit.DescribeItem(6), "String (up to 7 characters)");
    EXPECT_EQ(unit.DescribeItem(7), "String (up to 6 characters)");
    EXPECT_EQ(unit.DescribeItem(8), "Bit:  \r\n[]\r\n[On]");
}

TEST(DescribeItemTest, WordsFollowTheMessageTable) {
    ImagedTemplate t = Loaded({"[U]", "b = BIT, 10.0, Off, On", "z = STRING, 20-27, ASCIIZ"});
    MessageTable& table = ProcessMessageTable();
    table.Create();
    ASSERT_TRUE(table.Store(msg::kKindBit, "Bitti"));
    ASSERT_TRUE(table.Store(msg::kUpTo, "enintaan"));
    const std::string bit = t.UnitAt(0).DescribeItem(0);
    const std::string string = t.UnitAt(0).DescribeItem(1);
    table.Free();
    EXPECT_EQ(bit, "Bitti:  \r\n[Off]\r\n[On]");
    EXPECT_EQ(string, "String (enintaan 7 characters)");
}

TEST(IsListedItemTest, ConstantsAndDerivedFieldsAreNotListed) {
    ImagedTemplate t = Loaded({
        "[U]",
        "b = BIT, 10.0, Off, On",
        "e = ENUM, 10.1, A, B",
        "n = NUM, 11, 0-FF, DEC",
        "s = STATIC, 12, 1",
        "t = TITLE",
        "z = STRING, 13-14, ASCIIZ",
        "r = RELATIVE, 15, 11",
        "c = CHECKSUM, 16, 10-15",
        "k = CRC, 17, 10-16, CRC8",
        "p = CRC",
    });
    const Unit& unit = t.UnitAt(0);
    const std::vector<bool> listed = {true, true, true, false, true, true, false, false, false, false};
    ASSERT_EQ(unit.itemCount, listed.size());
    for (std::uint32_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(unit.IsListedItem(i), listed[i]) << i;
    }
}

}  // namespace
}  // namespace tessaly
