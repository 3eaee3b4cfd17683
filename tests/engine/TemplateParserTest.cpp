#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"
#include "engine/MemoryInput.h"

namespace tessaly {
namespace {

using test::ParsedTemplate;
using test::ParseLines;

// Every entry of the example lands in its unit, and the progress runs from 0 to the file's length.
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
    const std::string script = test::ExampleScript("board-24c02.dev");
    MemoryInput input(script, "board.dev");
    TemplateHeap heap;
    TemplateParser parser(input, heap);
    parser.Run(&recorder);
    ASSERT_EQ(parser.Error(), ParseError::None);
    EXPECT_EQ(recorder.began, "board.dev:" + std::to_string(script.size()));
    EXPECT_EQ(recorder.last, script.size());
    EXPECT_TRUE(recorder.ended);

    const UnitList& units = *parser.Units();
    ASSERT_EQ(units.count, 1u);
    EXPECT_STREQ(units.GetAt(0)->name, "Board");
    EXPECT_EQ(units.GetAt(0)->itemCount, 32u);
    EXPECT_EQ(units.GetAt(0)->end, 0x4Eu);
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

using test::ParseEntryLine;

// A parsed record together with the parse that owns its texts and bytes.
template <class Record>
class RecordOf {
  public:
    explicit RecordOf(std::string_view entry) : parsed_(ParseEntryLine(entry)) {
        EXPECT_EQ(parsed_.error, ParseError::None) << entry << "\n" << parsed_.report;
    }
    const Record* operator->() const {
        static const Record empty{};
        return parsed_.error == ParseError::None ? &parsed_.ItemAt(0, 0).template RecordAs<Record>() : &empty;
    }

  private:
    test::ParsedTemplate parsed_;
};

TEST(ItemArgumentsTest, BadArgumentsReportTheirError) {
    const std::pair<const char*, ParseError> cases[] = {
        {"b = BIT, 10.0, Off", ParseError::InvalidArgumentNumber},
        {"b = BIT, 10.Q, a, b", ParseError::InvalidSyntax},
        {"e = ENUM, 10.0, A, B, C", ParseError::InvalidArgumentNumber},
        {"e = ENUM, 10.3-10.1, A, B", ParseError::InvalidArgumentNumber},
        {"e = ENUM, 10.0-10.1, A, B, C", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10-14, 0-1", ParseError::InvalidArgumentNumber},
        {"n = NUM, 14-10, 0-1", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10, 10, DEC", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, 0", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, OCT", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, HEX, LENDIAN, 2, BIN", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10, 0-1", ParseError::InvalidArgumentNumber},
        {"t = TIME, 10, 0-1", ParseError::UnsupportedKeyword},
        {"s = STATIC, 20-21, 1, 2, 3", ParseError::InvalidArgumentNumber},
        {"s = STATIC, 20, 1, G", ParseError::InvalidSyntax},
        {"s = STATIC, 20.0-20.3, A, B, C", ParseError::InvalidArgumentNumber},
        {"t = TITLE, 12A", ParseError::InvalidSyntax},
        {"s = STRING, 30-3F, ASCIIZ, 1", ParseError::InvalidArgumentNumber},
        {"s = STRING, 30-3F, PASCAL", ParseError::InvalidSyntax},
        {"s = STRING, 30-3F, COUNTER, 3", ParseError::InvalidArgumentValue},
        {"s = STRING, 30.1-3F, ASCIIZ", ParseError::InvalidSyntax},
        {"s = STRING, 3F-30, ASCIIZ", ParseError::NotEnoughMemory},
        {"r = RELATIVE, 41, 11, ADD", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, NOT, 1", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, XOR, ZZ", ParseError::InvalidSyntax},
        {"r = RELATIVE, 41, 11, POW, 2", ParseError::InvalidSyntax},
        {"r = RELATIVE, 41, 11, DIV, 0", ParseError::InvalidArgumentValue},
        {"c = CHECKSUM, 40, 10-3F, CRC", ParseError::InvalidSyntax},
        {"c = CHECKSUM, 40.1, 10-3F", ParseError::InvalidSyntax},
    };
    for (const auto& [entry, error] : cases) {
        EXPECT_EQ(ParseEntryLine(entry).error, error) << entry;
    }
}

// What the records keep where no value or derived field shows it: the base defaults to DEC, later
// keywords override earlier ones, constants keep the low byte of each value and a partial byte only its
// first value, a counter's width defaults to none.
TEST(ItemArgumentsTest, RecordsKeepTheirArguments) {
    const auto plain = RecordOf<NumRecord>("n = NUM, 10-13, 5-1, LENDIAN");
    EXPECT_EQ(plain->base, NumberBase::Dec);
    EXPECT_EQ(plain->minimum, 5u);
    EXPECT_EQ(plain->maximum, 1u);
    const auto overridden = RecordOf<NumRecord>("n = NUM, 10-11, 0-FF, bendian, bin, LENDIAN");
    EXPECT_EQ(overridden->base, NumberBase::Bin);
    EXPECT_EQ(overridden->flags, 0);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20-21, 1FF, 2")->bytes[0], 0xFF);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20.0-20.3, A, ignored")->bytes[0], 0x0A);
    EXPECT_EQ(RecordOf<TitleRecord>("t = TITLE, 255")->spacing, 255);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, COUNTER")->flags, 0);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, COUNTER, 2, LENDIAN, 1")->flags, 1);
    EXPECT_EQ(RecordOf<RelativeRecord>("r = RELATIVE, 41, 11, BENDIAN, LENDIAN, NOT")->flags,
              static_cast<int>(RelativeOp::Not));
    EXPECT_EQ(RecordOf<ChecksumRecord>("c = CHECKSUM")->flags, kChecksumZeros);
    EXPECT_EQ(RecordOf<ChecksumRecord>("c = CHECKSUM, 40, 10-3F, ONES, BENDIAN, LENDIAN, ZEROS")->flags,
              kChecksumZeros);
}

// An item widens its unit to cover its fields: a relative field its target and source, a CRC its field
// and range, a STATIC without values ends before its start; a CRC placeholder claims no memory.
TEST(ItemArgumentsTest, UnitsWidenToTheirItems) {
    const struct {
        const char* entry;
        std::uint32_t start;
        std::uint32_t end;
    } cases[] = {
        {"r = RELATIVE, 41, 11", 0x11, 0x41},
        {"r = RELATIVE", 0, 0},
        {"c = CRC, 7E-7F, 0-75, crc16-xmodem, BENDIAN", 0, 0x7F},
        {"s = STATIC, 20", 0x20, 0x1F},
    };
    for (const auto& c : cases) {
        const test::ParsedTemplate t = test::ParseEntryLine(c.entry);
        ASSERT_EQ(t.error, ParseError::None) << c.entry;
        EXPECT_EQ(t.UnitAt(0).start, c.start) << c.entry;
        EXPECT_EQ(t.UnitAt(0).end, c.end) << c.entry;
    }
    for (const char* entry : {"c = CRC", "c = CRC, anything at all", "c = CRC, 10-12, 0-F, CRC8",
                              "c = CRC, 10, 0-F, CRC9", "c = CRC, 10, F-0, CRC8", "c = CRC, 10.1, 0-F, CRC8",
                              "c = CRC, 10, 0-F, CRC8, MIDDLE", "c = CRC, 10, 0-F, CRC8, LENDIAN, x"}) {
        const test::ParsedTemplate t = test::ParseEntryLine(entry);
        ASSERT_EQ(t.error, ParseError::None) << entry;
        EXPECT_EQ(t.ItemAt(0, 0).RecordAs<CrcRecord>().flags, 0) << entry;
        EXPECT_EQ(t.UnitAt(0).start, kNoAddress) << entry;
        EXPECT_EQ(t.UnitAt(0).end, 0u) << entry;
    }
}

}  // namespace
}  // namespace tessaly
