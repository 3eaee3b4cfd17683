#include <gtest/gtest.h>

#include <string>

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

TEST(ExampleTemplateTest, LoadsIntoTheDescribedModel) {
    const ParsedTemplate t = ParseLines(kExampleScript);
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    ASSERT_EQ(t.units->count, 2u);

    const Unit& config = t.UnitAt(0);
    EXPECT_STREQ(config.name, "Config");
    EXPECT_EQ(config.bus, BusKind::I2C8);
    EXPECT_TRUE(config.HasFixedByte());
    EXPECT_EQ(config.fixedByte, 0xA0);
    EXPECT_EQ(config.start, 0u);
    EXPECT_EQ(config.end, 0x41u);
    ASSERT_EQ(config.itemCount, 8u);

    // Each kind's arguments have their own tests; here only that every entry lands as its kind.
    const ItemKind kinds[] = {ItemKind::Title,  ItemKind::Bit,    ItemKind::Enum,     ItemKind::Num,
                              ItemKind::Static, ItemKind::String, ItemKind::Checksum, ItemKind::Relative};
    for (std::uint32_t i = 0; i < config.itemCount; ++i) {
        EXPECT_EQ(t.ItemAt(0, i).kind, kinds[i]) << i;
    }
    EXPECT_STREQ(t.ItemAt(0, 0).name, "Header");
    const NumRecord& speed = t.ItemAt(0, 3).RecordAs<NumRecord>();
    EXPECT_EQ(speed.location.end, 0x12);
    EXPECT_EQ(speed.flags, kNumBigEndian | kNumScaled);
    EXPECT_FLOAT_EQ(speed.scale, 0.5f);

    const Unit& extra = t.UnitAt(1);
    EXPECT_EQ(extra.bus, BusKind::SPI);
    EXPECT_FALSE(extra.HasFixedByte());
    EXPECT_EQ(extra.start, 0u);
    EXPECT_EQ(extra.end, 3u);
    EXPECT_EQ(t.ItemAt(1, 0).RecordAs<NumRecord>().base, NumberBase::Hex);
}

TEST(ExampleTemplateTest, ProgressRunsFromZeroToTheFileLength) {
    struct Recorder : ParseProgress {
        void Begin(const std::string& path, std::uint32_t range) override {
            beganWith = path;
            total = range;
        }
        void SetPosition(std::uint32_t position) override {
            EXPECT_GE(position, last);
            last = position;
        }
        void End() override { ended = true; }
        std::string beganWith;
        std::uint32_t total = 0;
        std::uint32_t last = 0;
        bool ended = false;
    } recorder;
    const std::string script = test::EncodedScript(kExampleScript);
    MemoryInput input(script, "board.dev");
    TemplateHeap heap;
    TemplateParser parser(input, heap);
    parser.Run(&recorder);
    EXPECT_EQ(recorder.beganWith, "board.dev");
    EXPECT_EQ(recorder.total, script.size());
    EXPECT_EQ(recorder.last, script.size());
    EXPECT_TRUE(recorder.ended);
}

// One script per error code: the code, the line it was found on and the report's wording.
TEST(ParseErrorTest, ReportsCodeLineAndText) {
    const struct {
        std::vector<std::string_view> lines;
        ParseError error;
        std::uint32_t line;
        const char* reportTail;
    } cases[] = {
        {{"[A]", "x = BIT, 0, a, b", "", "[B]"},
         ParseError::TitleNotFound,
         3,
         "TEMPLATE_BLOCK title not found"},
        {{"[A, USB]"}, ParseError::WrongTitleSyntax, 1, "TEMPLATE_BLOCK wrong title syntax"},
        {{"[A]", "x = TITLE", "[A]"},
         ParseError::NameExists,
         3,
         "TEMPLATE_BLOCK with such name already exists"},
        {{"[A]", "[B]"}, ParseError::BodyEmpty, 2, "TEMPLATE_BLOCK body is empty"},
        {{"[A]", "x = HEX"}, ParseError::UnsupportedKeyword, 2, "TEMPLATE_ENTRY unsupported keyword"},
        {{"[A]", "x = BIT, 0, a"},
         ParseError::InvalidArgumentNumber,
         2,
         "TEMPLATE_ENTRY invalid argument number"},
        {{"[A]", "a = TITLE", "b = TITLE", "c = TITLE", "d = TITLE", "e = TITLE", "f = TITLE",
          "x = NUM, 1.x, 0-1, DEC"},
         ParseError::InvalidSyntax,
         8,
         "TEMPLATE_ENTRY invalid syntax"},
        {{"[A]", "x = TITLE, 256"},
         ParseError::InvalidArgumentValue,
         2,
         "TEMPLATE_ENTRY invalid argument value"},
        {{"[A]", "x = STRING, 30-30, COUNTER, 1"},
         ParseError::NotEnoughMemory,
         2,
         "TEMPLATE_ENTRY not enough memory for unit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reportTail);
        const ParsedTemplate t = ParseLines(c.lines);
        EXPECT_EQ(t.error, c.error);
        EXPECT_EQ(t.line, c.line);
        EXPECT_EQ(t.report, "Template Script Error in file test.dev:\n" + std::string(c.reportTail) +
                                " (at line " + std::to_string(c.line) + ")");
    }
}

// Error codes only, for the scripts whose code is not obvious from the line alone.
TEST(ParseErrorTest, CodeOfEachFaultyScript) {
    const std::pair<std::vector<std::string_view>, ParseError> cases[] = {
        {{"x = BIT, 0, a, b"}, ParseError::TitleNotFound},
        {{"[A]", "no equals sign"}, ParseError::TitleNotFound},
        // Not titles, so read as entries without "=".
        {{"[A]x"}, ParseError::TitleNotFound},
        {{"[A]]"}, ParseError::TitleNotFound},
        {{"x[A]"}, ParseError::TitleNotFound},
        {{"[A, I2C8, A0, 1]"}, ParseError::WrongTitleSyntax},
        {{"[A]", "x = TIME, 0"}, ParseError::UnsupportedKeyword},
        // An empty previous unit is found before a repeated name, and that before a bad field.
        {{"[A]", "[A, USB]"}, ParseError::BodyEmpty},
        {{"[A]", "x = TITLE", "[A, USB]"}, ParseError::NameExists},
        {{"[A]", "x = TITLE", "[A, 1, 2, 3]"}, ParseError::WrongTitleSyntax},
    };
    for (const auto& [lines, error] : cases) {
        SCOPED_TRACE(lines.back());
        EXPECT_EQ(ParseLines(lines).error, error);
    }
}

TEST(TitleTest, FieldsSetBusAndFixedByteWithLaterOnesWinning) {
    const ParsedTemplate t = ParseLines({"[A,]", "x = TITLE", "[B, A0, 50]", "x = TITLE", "[C, SPI, i2c16]",
                                         "x = TITLE", "[D, 1FF]", "x = TITLE"});
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    EXPECT_TRUE(t.UnitAt(0).HasFixedByte());
    EXPECT_EQ(t.UnitAt(0).fixedByte, 0);
    EXPECT_EQ(t.UnitAt(0).bus, BusKind::I2C8);
    EXPECT_EQ(t.UnitAt(1).fixedByte, 0x50);
    EXPECT_EQ(t.UnitAt(2).bus, BusKind::I2C16);
    EXPECT_FALSE(t.UnitAt(2).HasFixedByte());
    EXPECT_EQ(t.UnitAt(3).fixedByte, 0xFF);
}

TEST(TitleTest, NamesAreCaseSensitiveAndMayBeEmpty) {
    const ParsedTemplate t =
        ParseLines({"[Config]", "x = TITLE", "[config]", "x = TITLE", "  [ ]  ", "y = TITLE"});
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    EXPECT_EQ(t.units->count, 3u);
    EXPECT_STREQ(t.UnitAt(2).name, "");
}

TEST(EndOfScriptTest, EndingAfterATitleLoadsWithAnEmptyUnit) {
    const ParsedTemplate t = ParseLines({"[A]", "x = TITLE", "[B]"});
    ASSERT_EQ(t.error, ParseError::None);
    EXPECT_EQ(t.UnitAt(1).itemCount, 0u);
    EXPECT_EQ(t.UnitAt(1).start, kNoAddress);
}

TEST(EndOfScriptTest, LineEndsAtTheEnd) {
    EXPECT_EQ(test::ParseScript("[A]\r\nx = " + EncodeBody("TITLE") + "\r\n").error, ParseError::None);
    const ParsedTemplate twoEnds = test::ParseScript("[A]\r\nx = " + EncodeBody("TITLE") + "\r\n\r\n");
    EXPECT_EQ(twoEnds.error, ParseError::TitleNotFound);
    EXPECT_EQ(twoEnds.line, 3u);
}

TEST(EntryTest, ItemsShareNamesAndMayHaveNone) {
    const ParsedTemplate t = ParseLines({"[A]", "x = TITLE", "x = TITLE, 2", " = TITLE"});
    ASSERT_EQ(t.error, ParseError::None);
    EXPECT_EQ(t.UnitAt(0).itemCount, 3u);
    EXPECT_EQ(t.ItemAt(0, 1).RecordAs<TitleRecord>().spacing, 2);
    EXPECT_EQ(t.ItemAt(0, 2).name, nullptr);
}

TEST(EntryTest, UnitsWidenByTheirItemsOnly) {
    const ParsedTemplate t =
        ParseLines({"[A, 0]", "x = NUM, 100, 0-1, DEC", "[B]", "x = NUM, 10-13, 0-1, DEC", "c = CRC, junk",
                    "t = TITLE", "[C]", "c = CRC"});
    ASSERT_EQ(t.error, ParseError::None) << t.report;
    EXPECT_EQ(t.UnitAt(0).start, 0u);
    EXPECT_EQ(t.UnitAt(0).end, 0x100u);
    EXPECT_EQ(t.UnitAt(1).start, 0x10u);
    EXPECT_EQ(t.UnitAt(1).end, 0x13u);
    EXPECT_EQ(t.UnitAt(2).start, kNoAddress);
    EXPECT_EQ(t.UnitAt(2).end, 0u);
}

TEST(CapacityTest, UnitsAndItemsBeyondCapacityAreDropped) {
    std::vector<std::string> lines;
    for (int unit = 0; unit < 34; ++unit) {
        lines.push_back("[U" + std::to_string(unit) + "]");
        lines.push_back("x = TITLE");
    }
    for (int item = 0; item < 1100; ++item) {
        lines.push_back("i = TITLE");
    }
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const ParsedTemplate t = ParseLines(views);
    ASSERT_EQ(t.error, ParseError::None);
    EXPECT_EQ(t.units->count, kUnitListCapacity);
    EXPECT_EQ(t.UnitAt(31).itemCount, 1u);

    std::vector<std::string> one = {"[U]"};
    for (int item = 0; item < 1100; ++item) {
        one.push_back("i = TITLE");
    }
    const ParsedTemplate full = ParseLines(std::vector<std::string_view>(one.begin(), one.end()));
    EXPECT_EQ(full.UnitAt(0).itemCount, kUnitItemCapacity);
}

TEST(FormatErrorTest, FixedPatternsAroundTheCode) {
    std::string report;
    EXPECT_TRUE(FormatParseReport(0, "a.dev", 1, report));
    EXPECT_EQ(report, "Template Script Error in file a.dev:\nSuccess! (at line 1)");
    EXPECT_TRUE(FormatParseReport(10, "a.dev", 7, report));
    EXPECT_EQ(report, "Template Script Error in file a.dev:\nOther error (at line 7)");
    report = "unchanged";
    EXPECT_FALSE(FormatParseReport(11, "a.dev", 7, report));
    EXPECT_EQ(report, "unchanged");
}

}  // namespace
}  // namespace tessaly
