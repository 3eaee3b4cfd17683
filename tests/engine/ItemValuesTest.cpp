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

void Store(ImagedTemplate& t, std::uint32_t first, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        t.Data(first + static_cast<std::uint32_t>(i)) = static_cast<std::uint8_t>(bytes[i]);
    }
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

TEST(BitValueTest, ShowsTheTextOfItsBit) {
    ImagedTemplate t = Loaded({"[U]", "b = BIT, 10.2, Off, On"});
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), "Off");
    t.Data(0x10) = 0xFB;
    EXPECT_EQ(ValueText(unit, 0), "Off");
    t.Data(0x10) = 0x04;
    EXPECT_EQ(ValueText(unit, 0), "On");
}

TEST(BitValueTest, ValueBeyondOneOrAbsentTextHasNoText) {
    ImagedTemplate t = Loaded({"[U]", "w = BIT, 10.0-10.1, Off, On", "a = BIT, 11.0, , On"});
    Unit& unit = t.UnitAt(0);
    t.Data(0x10) = 0x02;
    EXPECT_EQ(ValueText(unit, 0), kNoText);
    t.Data(0x10) = 0x01;
    EXPECT_EQ(ValueText(unit, 0), "On");
    EXPECT_EQ(ValueText(unit, 1), kNoText);
}

TEST(BitValueTest, TextsCompareExactly) {
    ImagedTemplate t = Loaded({"[U]", "b = BIT, 10.2, Off, On", "a = BIT, 11.0, , On"});
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(Check(unit, 0, "On"), 0);
    EXPECT_EQ(Check(unit, 0, "Off"), 0);
    EXPECT_EQ(Check(unit, 0, "on"), 1);
    EXPECT_EQ(Check(unit, 0, "On "), 1);
    EXPECT_EQ(Check(unit, 1, ""), 1);
}

TEST(BitValueTest, SettingChangesOnlyItsBit) {
    ImagedTemplate t = Loaded({"[U]", "b = BIT, 10.2, Off, On"}, 0xA1);
    Unit& unit = t.UnitAt(0);
    EXPECT_TRUE(unit.SetValueText(0, "On"));
    EXPECT_EQ(t.Data(0x10), 0xA5);
    EXPECT_FALSE(unit.SetValueText(0, "ON"));
    EXPECT_EQ(t.Data(0x10), 0xA5);
    EXPECT_TRUE(unit.SetValueText(0, "Off"));
    EXPECT_EQ(t.Data(0x10), 0xA1);
}

TEST(EnumValueTest, ShowsTheChoiceOfItsBits) {
    ImagedTemplate t = Loaded({"[U]", "e = ENUM, 10.4-10.5, Idle, Run, , Test"});
    Unit& unit = t.UnitAt(0);
    t.Data(0x10) = 0x1F;
    EXPECT_EQ(ValueText(unit, 0), "Run");
    t.Data(0x10) = 0x20;
    EXPECT_EQ(ValueText(unit, 0), kNoText);
    t.Data(0x10) = 0xF0;
    EXPECT_EQ(ValueText(unit, 0), "Test");
}

TEST(EnumValueTest, AbsentTextsNeverMatch) {
    ImagedTemplate t = Loaded({"[U]", "e = ENUM, 10.4-10.5, Idle, Run, , Test"});
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(Check(unit, 0, "Test"), 0);
    EXPECT_EQ(Check(unit, 0, ""), 1);
    EXPECT_EQ(Check(unit, 0, "Sleep"), 1);
}

TEST(EnumValueTest, SettingStoresThePositionOfTheText) {
    ImagedTemplate t = Loaded({"[U]", "e = ENUM, 10.4-10.5, Idle, Run, , Test"}, 0x81);
    Unit& unit = t.UnitAt(0);
    EXPECT_TRUE(unit.SetValueText(0, "Test"));
    EXPECT_EQ(t.Data(0x10), 0xB1);
    EXPECT_TRUE(unit.SetValueText(0, "Run"));
    EXPECT_EQ(t.Data(0x10), 0x91);
}

TEST(EnumValueTest, ValueBeyondTheTextsOfAWideFieldHasNoText) {
    // Bits 0..7 of 0x10 and 0..1 of 0x11 give ten bits, but the range's two halves ask for only 4 texts.
    ImagedTemplate t = Loaded({"[U]", "e = ENUM, 10.0-11.1, A, B, C, D"});
    Unit& unit = t.UnitAt(0);
    t.Data(0x10) = 0x02;
    EXPECT_EQ(ValueText(unit, 0), "C");
    t.Data(0x11) = 0x03;
    EXPECT_EQ(ValueText(unit, 0), kNoText);
    t.Data(0x10) = 0xFF;
    EXPECT_EQ(ValueText(unit, 0), kNoText);
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

TEST(NumValueTest, ScaleAppliesBothWaysWithTruncation) {
    ImagedTemplate t = Loaded({"[U]", "n = NUM, 10, 0-FF, DEC, 0.5"}, 7);
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), "3");
    EXPECT_TRUE(unit.SetValueText(0, "3"));
    EXPECT_EQ(t.Data(0x10), 6);
    EXPECT_TRUE(unit.SetValueText(0, "4"));
    EXPECT_EQ(t.Data(0x10), 8);
    EXPECT_EQ(Check(unit, 0, "127"), 0);
    EXPECT_EQ(Check(unit, 0, "128"), 1);
}

TEST(NumValueTest, FullUnsignedRangeShows) {
    ImagedTemplate t =
        Loaded({"[U]", "n = NUM, 10-13, 0-FFFFFFFF, DEC", "h = NUM, 14-17, 0-FFFFFFFF, HEX"}, 0xFF);
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), "4294967295");
    EXPECT_EQ(ValueText(unit, 1), "FFFFFFFF");
}

TEST(NumValueTest, ScaledValuesSaturateInsteadOfWrapping) {
    ImagedTemplate t = Loaded({"[U]", "n = NUM, 10-13, 0-FFFFFFFF, DEC, 2"}, 0xFF);
    EXPECT_EQ(ValueText(t.UnitAt(0), 0), "4294967295");
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

TEST(NumValueTest, DigitsOfTheBaseOnly) {
    ImagedTemplate t = Loaded({"[U]", "h = NUM, 10, 0-FF, HEX", "d = NUM, 11, 0-FF, DEC"});
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(Check(unit, 0, "ff"), 0);
    EXPECT_EQ(Check(unit, 0, "FF"), 0);
    EXPECT_EQ(Check(unit, 0, "0xFF"), -2);
    EXPECT_EQ(Check(unit, 1, "-1"), -2);
    EXPECT_EQ(Check(unit, 1, "+1"), -2);
    EXPECT_EQ(Check(unit, 1, ""), -2);
    EXPECT_TRUE(unit.SetValueText(0, "ff"));
    EXPECT_EQ(t.Data(0x10), 0xFF);
    EXPECT_EQ(ValueText(unit, 0), "FF");
}

TEST(NumValueTest, RangeIsCheckedBeforeAnythingIsWritten) {
    ImagedTemplate t = Loaded({"[U]", "n = NUM, 10, 10-20, DEC"}, 0x18);
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(Check(unit, 0, "15"), -1);
    EXPECT_EQ(Check(unit, 0, "16"), 0);
    EXPECT_EQ(Check(unit, 0, "32"), 0);
    EXPECT_EQ(Check(unit, 0, "33"), 1);
    EXPECT_EQ(Check(unit, 0, "4294967312"), 1);
    EXPECT_EQ(Check(unit, 0, "99999999999999999999"), 1);
    EXPECT_FALSE(unit.SetValueText(0, "15"));
    EXPECT_FALSE(unit.SetValueText(0, "4294967312"));
    EXPECT_EQ(t.Data(0x10), 0x18);
}

TEST(NumValueTest, BinaryBase) {
    ImagedTemplate t = Loaded({"[U]", "b = NUM, 10, 0-FF, BIN"}, 5);
    Unit& unit = t.UnitAt(0);
    EXPECT_EQ(ValueText(unit, 0), "101");
    EXPECT_TRUE(unit.SetValueText(0, "11111111"));
    EXPECT_EQ(t.Data(0x10), 0xFF);
    EXPECT_EQ(Check(unit, 0, "2"), -2);
}

TEST(NumValueTest, BigEndianWholeBytesStoreTheHighByteFirst) {
    ImagedTemplate t = Loaded({"[U]", "Speed = NUM, 11-12, 0-FFFF, DEC, BENDIAN, 0.5"});
    Unit& unit = t.UnitAt(0);
    EXPECT_TRUE(unit.SetValueText(0, "1000"));
    EXPECT_EQ(Bytes(t, 0x11, 0x12), (std::vector<std::uint8_t>{0x07, 0xD0}));
    EXPECT_EQ(ValueText(unit, 0), "1000");
}

TEST(NumValueTest, SplitNibbleFieldKeepsTheOtherHalves) {
    ImagedTemplate t = Loaded({"[U]", "n = NUM, 10.4-11.3, 0-FF, HEX"}, 0x66);
    Unit& unit = t.UnitAt(0);
    EXPECT_TRUE(unit.SetValueText(0, "AB"));
    EXPECT_EQ(Bytes(t, 0x10, 0x11), (std::vector<std::uint8_t>{0xB6, 0x6A}));
    EXPECT_EQ(ValueText(unit, 0), "AB");
}

TEST(StringValueTest, LongestAcceptedTextDependsOnTheCounter) {
    ImagedTemplate t = Loaded({
        "[U]",
        "z = STRING, 10-17, ASCIIZ",
        "c = STRING, 20-27, COUNTER, 1",
        "w = STRING, 30-37, COUNTER, 2",
    });
    const Unit& unit = t.UnitAt(0);
    EXPECT_EQ(Check(unit, 0, "1234567"), 0);
    EXPECT_EQ(Check(unit, 0, "12345678"), 1);
    EXPECT_EQ(Check(unit, 1, "1234567"), 0);
    EXPECT_EQ(Check(unit, 1, "12345678"), 1);
    EXPECT_EQ(Check(unit, 2, "123456"), 0);
    EXPECT_EQ(Check(unit, 2, "1234567"), 1);
    EXPECT_EQ(Check(unit, 0, ""), 0);
}

TEST(StringValueTest, ShorterTextKeepsTheRestOfTheField) {
    ImagedTemplate t = Loaded({"[U]", "z = STRING, 10-14, ASCIIZ"});
    Unit& unit = t.UnitAt(0);
    Store(t, 0x10, "HELLO");
    EXPECT_EQ(ValueText(unit, 0), "HELLO");
    EXPECT_TRUE(unit.SetValueText(0, "HI"));
    EXPECT_EQ(Bytes(t, 0x10, 0x14), (std::vector<std::uint8_t>{'H', 'I', 0, 'L', 'O'}));
    EXPECT_EQ(ValueText(unit, 0), "HI");
    EXPECT_TRUE(unit.SetValueText(0, ""));
    EXPECT_EQ(t.Data(0x10), 0);
    EXPECT_EQ(ValueText(unit, 0), "");
}

TEST(StringValueTest, TextWithoutTerminatorIsReadToTheEndOfTheField) {
    ImagedTemplate t = Loaded({"[U]", "z = STRING, 10-13, ASCIIZ", "n = NUM, 14, 0-FF, DEC"}, 'x');
    EXPECT_EQ(ValueText(t.UnitAt(0), 0), "xxxx");
}

TEST(StringValueTest, CountedTextIsCutToTheRoom) {
    ImagedTemplate t = Loaded({"[U]", "c = STRING, 10-13, COUNTER, 1", "n = NUM, 14, 0-FF, DEC"}, 'x');
    Unit& unit = t.UnitAt(0);
    Store(t, 0x10,
          "\xFF"
          "abc");
    EXPECT_EQ(ValueText(unit, 0), "abc");
    Store(t, 0x10, "\x02");
    EXPECT_EQ(ValueText(unit, 0), "ab");
    EXPECT_TRUE(unit.SetValueText(0, "Z"));
    EXPECT_EQ(Bytes(t, 0x10, 0x13), (std::vector<std::uint8_t>{1, 'Z', 'b', 'c'}));
}

TEST(StringValueTest, TwoByteCounterOrderFlagReadsTheOtherWayRound) {
    // Without BENDIAN the counter's high byte comes first; with it, the low byte.
    ImagedTemplate t =
        Loaded({"[U]", "a = STRING, 10-16, COUNTER, 2", "b = STRING, 20-26, COUNTER, 2, BENDIAN"}, '.');
    Unit& unit = t.UnitAt(0);
    EXPECT_TRUE(unit.SetValueText(0, "ABC"));
    EXPECT_TRUE(unit.SetValueText(1, "ABC"));
    EXPECT_EQ(Bytes(t, 0x10, 0x14), (std::vector<std::uint8_t>{0x00, 0x03, 'A', 'B', 'C'}));
    EXPECT_EQ(Bytes(t, 0x20, 0x24), (std::vector<std::uint8_t>{0x03, 0x00, 'A', 'B', 'C'}));
    EXPECT_EQ(ValueText(unit, 0), "ABC");
    EXPECT_EQ(ValueText(unit, 1), "ABC");
    t.Data(0x11) = 0x02;
    t.Data(0x20) = 0x04;
    EXPECT_EQ(ValueText(unit, 0), "AB");
    EXPECT_EQ(ValueText(unit, 1), "ABC.");
    t.Data(0x10) = 0x01;
    EXPECT_EQ(ValueText(unit, 0), "ABC..");
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
