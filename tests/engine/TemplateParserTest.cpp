#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"
#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"

namespace tessaly {
namespace {

using test::ParsedTemplate;
using test::ParseLines;

const std::vector<std::string_view> kExampleScript = {
    "[Config, I2C8, A0]",
    "Header = TITLE, 1",
    "Enabled = BIT, 10.0, Off, On",
    "Mode = ENUM, 10.1-10.2, Idle, Run, Sleep, Test",
    "Speed = NUM, 11-12, 0-FFFF, DEC, BENDIAN, 0.5",
    "Magic = STATIC, 20, 55, AA",
    "Label = STRING, 30-3F, ASCIIZ",
    "Sum = CHECKSUM, 40, 10-3F, ZEROS",
    "Shadow = RELATIVE, 41, 11, XOR, FF",
    "[Extra, SPI]",
    "Serial = NUM, 0-3, 0-FFFFFFFF, HEX",
};

// Each kind's arguments have their own tests; here every entry lands in its unit as its kind, and the
// progress runs from 0 to the file's length.
TEST(TemplateParserTest, LoadsIntoTheDescribedModel) {
    struct Recorder : ParseProgress {
        void Begin(const std::string& path, std::uint32_t range) override {
            began = path + ":" + std::to_string(range);
        }
        void SetPosition(std::uint32_t position) override {
            EXPECT_GE(position, last);
            last = position;
        }
        void End() override { ended = true; }
        std::string began;
        std::uint32_t last = 0;
        bool ended = false;
    } recorder;
    const std::string script = test::EncodedScript(kExampleScript);
    MemoryInput input(script, "board.dev");
    TemplateHeap heap;
    TemplateParser parser(input, heap);
    parser.Run(&recorder);
    ASSERT_EQ(parser.Error(), ParseError::None);
    EXPECT_EQ(recorder.began, "board.dev:" + std::to_string(script.size()));
    EXPECT_EQ(recorder.last, script.size());
    EXPECT_TRUE(recorder.ended);

    const UnitList& units = *parser.Units();
    ASSERT_EQ(units.count, 2u);
    const Unit& config = *units.GetAt(0);
    EXPECT_STREQ(config.name, "Config");
    EXPECT_EQ(config.start, 0u);
    EXPECT_EQ(config.end, 0x41u);
    const ItemKind kinds[] = {ItemKind::Title,  ItemKind::Bit,    ItemKind::Enum,     ItemKind::Num,
                              ItemKind::Static, ItemKind::String, ItemKind::Checksum, ItemKind::Relative};
    ASSERT_EQ(config.itemCount, std::size(kinds));
    for (std::uint32_t i = 0; i < config.itemCount; ++i) {
        EXPECT_EQ(config.GetItem(i)->kind, kinds[i]) << i;
    }
    EXPECT_STREQ(config.GetItem(0)->name, "Header");
    EXPECT_EQ(units.GetAt(1)->end, 3u);
}

// The first fault ends the parse with its code and line. Lines that are no title are read as entries,
// so a line without "=" is a title not found; an empty unit is found before a repeated name, and that
// before a bad title field.
TEST(TemplateParserTest, ReportsTheFirstFaultWithItsLine) {
    const struct {
        std::vector<std::string_view> lines;
        ParseError error;
        std::uint32_t line;
    } cases[] = {
        {{"[A]", "x = BIT, 0, a, b", "", "[B]"}, ParseError::TitleNotFound, 3},
        {{"x = BIT, 0, a, b"}, ParseError::TitleNotFound, 1},
        {{"[A]", "no equals sign"}, ParseError::TitleNotFound, 2},
        {{"[A]x"}, ParseError::TitleNotFound, 1},
        {{"[A]]"}, ParseError::TitleNotFound, 1},
        {{"x[A]"}, ParseError::TitleNotFound, 1},
        {{"[A, USB]"}, ParseError::WrongTitleSyntax, 1},
        {{"[A, I2C8, A0, 1]"}, ParseError::WrongTitleSyntax, 1},
        {{"[A]", "x = TITLE", "[A]"}, ParseError::NameExists, 3},
        {{"[A]", "[B]"}, ParseError::BodyEmpty, 2},
        {{"[A]", "[A, USB]"}, ParseError::BodyEmpty, 2},
        {{"[A]", "x = TITLE", "[A, USB]"}, ParseError::NameExists, 3},
        {{"[A]", "x = TITLE", "[A, 1, 2, 3]"}, ParseError::WrongTitleSyntax, 3},
        {{"[A]", "x = HEX"}, ParseError::UnsupportedKeyword, 2},
        {{"[A]", "x = BIT, 0, a"}, ParseError::InvalidArgumentNumber, 2},
        {{"[A]", "a = TITLE", "b = TITLE", "c = TITLE", "x = NUM, 1.x, 0-1, DEC"},
         ParseError::InvalidSyntax,
         5},
        {{"[A]", "x = TITLE, 256"}, ParseError::InvalidArgumentValue, 2},
        {{"[A]", "x = STRING, 30-30, COUNTER, 1"}, ParseError::NotEnoughMemory, 2},
    };
    for (const auto& c : cases) {
        const ParsedTemplate t = ParseLines(c.lines);
        EXPECT_EQ(t.error, c.error) << c.lines.back();
        EXPECT_EQ(t.line, c.line) << c.lines.back();
    }
    EXPECT_EQ(ParseLines({"[A]", "x = BIT, 0, a"}).report,
              "Template Script Error in file test.dev:\nTEMPLATE_ENTRY invalid argument number (at line 2)");
}

// The report wraps the code's text in a fixed pattern; there is no code past 10.
TEST(TemplateParserTest, ReportNamesFileCodeAndLine) {
    std::string report;
    ASSERT_TRUE(FormatParseReport(10, "a.dev", 7, report));
    EXPECT_EQ(report, "Template Script Error in file a.dev:\nOther error (at line 7)");
    report = "unchanged";
    EXPECT_FALSE(FormatParseReport(11, "a.dev", 7, report));
    EXPECT_EQ(report, "unchanged");
}

// Later title fields win; names are case-sensitive and may be empty; a unit may end the script empty;
// items share names or have none, and widen their unit (CRC placeholders do not).
TEST(TemplateParserTest, TitlesAndEntries) {
    const ParsedTemplate t =
        ParseLines({"[A,]", "x = TITLE", "[B, A0, 50]", "x = NUM, 100, 0-1, DEC", "[C, SPI, i2c16]",
                    "x = NUM, 10-13, 0-1, DEC", "x = TITLE, 2", " = CRC, junk", "[D, 1FF]", "x = TITLE",
                    "[d]", "c = CRC", "  [ ]  ", "y = TITLE", "[E]"});
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    ASSERT_EQ(t.units->count, 7u);
    EXPECT_TRUE(t.UnitAt(0).HasFixedByte());
    EXPECT_EQ(t.UnitAt(0).fixedByte, 0);
    EXPECT_EQ(t.UnitAt(0).bus, BusKind::I2C8);
    EXPECT_EQ(t.UnitAt(1).fixedByte, 0x50);
    EXPECT_EQ(t.UnitAt(1).end, 0x100u);
    EXPECT_EQ(t.UnitAt(2).bus, BusKind::I2C16);
    EXPECT_FALSE(t.UnitAt(2).HasFixedByte());
    EXPECT_EQ(t.UnitAt(2).start, 0x10u);
    EXPECT_EQ(t.UnitAt(2).end, 0x13u);
    EXPECT_EQ(t.UnitAt(2).itemCount, 3u);
    EXPECT_EQ(t.ItemAt(2, 1).RecordAs<TitleRecord>().spacing, 2);
    EXPECT_EQ(t.ItemAt(2, 2).name, nullptr);
    EXPECT_EQ(t.UnitAt(3).fixedByte, 0xFF);
    EXPECT_EQ(t.UnitAt(4).start, kNoAddress);
    EXPECT_STREQ(t.UnitAt(5).name, "");
    EXPECT_EQ(t.UnitAt(6).itemCount, 0u);
    EXPECT_EQ(test::ParseScript("[A]\r\nx = " + EncodeBody("TITLE") + "\r\n").error, ParseError::None);
}

TEST(TemplateParserTest, UnitsAndItemsBeyondCapacityAreDropped) {
    std::vector<std::string> lines;
    for (int unit = 0; unit < 34; ++unit) {
        lines.push_back("[U" + std::to_string(unit) + "]");
        lines.push_back("x = TITLE");
    }
    lines.insert(lines.end(), 1100, "i = TITLE");
    ParsedTemplate t = ParseLines(std::vector<std::string_view>(lines.begin(), lines.end()));
    ASSERT_EQ(t.error, ParseError::None);
    EXPECT_EQ(t.units->count, kUnitListCapacity);
    EXPECT_EQ(t.UnitAt(31).itemCount, 1u);
    lines.erase(lines.begin(), lines.end() - 1101);
    lines.front() = "[U]";
    t = ParseLines(std::vector<std::string_view>(lines.begin(), lines.end()));
    EXPECT_EQ(t.UnitAt(0).itemCount, kUnitItemCapacity);
}

}  // namespace
}  // namespace tessaly
