#include <gtest/gtest.h>

#include <string>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ParseEntryLine;

// A parsed record together with the parse that owns its texts and bytes.
template <class Record>
class ParsedRecord {
  public:
    explicit ParsedRecord(std::string_view entry) : parsed_(ParseEntryLine(entry)) {
        EXPECT_EQ(parsed_.error, ParseError::None) << entry << "\n" << parsed_.report;
    }
    const Record* operator->() const {
        static const Record empty{};
        return parsed_.error == ParseError::None ? &parsed_.ItemAt(0, 0).template RecordAs<Record>() : &empty;
    }

  private:
    test::ParsedTemplate parsed_;
};

template <class Record>
ParsedRecord<Record> RecordOf(std::string_view entry) {
    return ParsedRecord<Record>(entry);
}

std::string Repeated(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

TEST(ItemArgumentsTest, BadArgumentsReportTheirError) {
    const std::pair<const char*, ParseError> cases[] = {
        {"b = BIT, 10.0, Off", ParseError::InvalidArgumentNumber},
        {"b = BIT, 10.0, a, b, c", ParseError::InvalidArgumentNumber},
        {"b = BIT, 10.Q, a, b", ParseError::InvalidSyntax},
        {"e = ENUM, 10.0, A, B, C", ParseError::InvalidArgumentNumber},
        {"e = ENUM, 10.0, A", ParseError::InvalidArgumentNumber},
        {"e = ENUM, 10.3-10.1, A, B", ParseError::InvalidArgumentNumber},
        {"e = ENUM, 10.0-10.1, A, B, C", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10-14, 0-1", ParseError::InvalidArgumentNumber},
        {"n = NUM, 14-10, 0-1", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10, 10, DEC", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, 0", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, -1", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, 1e99", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, OCT", ParseError::InvalidSyntax},
        {"n = NUM, 10, 0-1, HEX, LENDIAN, 2, BIN", ParseError::InvalidArgumentNumber},
        {"n = NUM, 10, 0-1", ParseError::InvalidArgumentNumber},
        {"t = TIME, 10, 0-1", ParseError::UnsupportedKeyword},
        {"s = STATIC, 20-21, 1, 2, 3", ParseError::InvalidArgumentNumber},
        {"s = STATIC", ParseError::InvalidArgumentNumber},
        {"s = STATIC, 20, 1, G", ParseError::InvalidSyntax},
        {"s = STATIC, 20.0-20.3, A, B, C", ParseError::InvalidArgumentNumber},
        {"s = STATIC, 20.4-21.3, A", ParseError::InvalidArgumentNumber},
        {"t = TITLE, 256", ParseError::InvalidArgumentValue},
        {"t = TITLE, 12A", ParseError::InvalidSyntax},
        {"t = TITLE, 1, 2", ParseError::InvalidArgumentNumber},
        {"s = STRING, 30-30, COUNTER, 1", ParseError::NotEnoughMemory},
        {"s = STRING, 30-3F, ASCIIZ, 1", ParseError::InvalidArgumentNumber},
        {"s = STRING, 30-3F, PASCAL", ParseError::InvalidSyntax},
        {"s = STRING, 30-3F, COUNTER, 3", ParseError::InvalidArgumentValue},
        {"s = STRING, 30-3F, COUNTER, X", ParseError::InvalidSyntax},
        {"s = STRING, 30.1-3F, ASCIIZ", ParseError::InvalidSyntax},
        {"s = STRING, 3F-30, ASCIIZ", ParseError::NotEnoughMemory},
        {"r = RELATIVE, 41, 11, ADD", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, ADD, 1, 2", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, NOT, 1", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, XOR, FF, BENDIAN", ParseError::InvalidArgumentNumber},
        {"r = RELATIVE, 41, 11, XOR, ZZ", ParseError::InvalidSyntax},
        {"r = RELATIVE, 41, 11, POW, 2", ParseError::InvalidSyntax},
        {"r = RELATIVE, 41, 11, DIV, 0", ParseError::InvalidArgumentValue},
        {"c = CHECKSUM, 40, 10-3F, CRC", ParseError::InvalidSyntax},
        {"c = CHECKSUM, 40.1, 10-3F", ParseError::InvalidSyntax},
        {"c = CHECKSUM, 40, 10-3F.7", ParseError::InvalidSyntax},
    };
    for (const auto& [entry, error] : cases) {
        EXPECT_EQ(ParseEntryLine(entry).error, error) << entry;
    }
}

TEST(BitArgumentsTest, EmptyTextsAreAbsent) {
    const auto bit = RecordOf<BitRecord>("b = BIT, 10.0, , On");
    EXPECT_EQ(bit->texts[0], nullptr);
    EXPECT_STREQ(bit->texts[1], "On");
}

TEST(EnumArgumentsTest, TextCountFollowsTheBitWidth) {
    EXPECT_EQ(RecordOf<EnumRecord>("e = ENUM, 10.0, A, B")->count, 2);
    const auto four = RecordOf<EnumRecord>("e = ENUM, 10.4-10.7, " + Repeated("x,", 15) + "last");
    EXPECT_EQ(four->count, 16);
    EXPECT_STREQ(four->texts[15], "last");
}

TEST(NumArgumentsTest, SizeRangeAndOptions) {
    const auto plain = RecordOf<NumRecord>("n = NUM, 10-13, 5-1, LENDIAN");
    EXPECT_EQ(plain->base, NumberBase::Dec);
    EXPECT_EQ(plain->flags, 0);
    EXPECT_FLOAT_EQ(plain->scale, 1.0f);
    EXPECT_EQ(plain->minimum, 5u);
    EXPECT_EQ(plain->maximum, 1u);

    const auto scaled = RecordOf<NumRecord>("n = NUM, 10, 0-FF, 2.5x");
    EXPECT_FLOAT_EQ(scaled->scale, 2.5f);
    EXPECT_EQ(scaled->flags, kNumScaled);

    const auto overridden = RecordOf<NumRecord>("n = NUM, 10-11, 0-FF, bendian, bin, LENDIAN");
    EXPECT_EQ(overridden->base, NumberBase::Bin);
    EXPECT_EQ(overridden->flags, 0);
}

TEST(StaticArgumentsTest, WholeBytesTakeOneByteAValue) {
    const auto three = RecordOf<StaticRecord>("s = STATIC, 20, 1, 2, 3");
    EXPECT_EQ(three->location.start, 0x20);
    EXPECT_EQ(three->location.end, 0x22);
    EXPECT_EQ(three->bytes[2], 3);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20-21, 1FF, 2")->bytes[0], 0xFF);
}

TEST(StaticArgumentsTest, PartOfAByteTakesOneValue) {
    const auto bit = RecordOf<StaticRecord>("s = STATIC, 20.3");
    EXPECT_EQ(bit->bits, MakeBitRange(3, 3));
    EXPECT_EQ(bit->bytes[0], 0);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20.0-20.3, A, ignored")->bytes[0], 0x0A);
}

TEST(StaticArgumentsTest, NoValuesEndsBeforeTheStart) {
    const test::ParsedTemplate t = test::ParseLines({"[U]", "a = NUM, 10, 0-1, HEX", "s = STATIC, 20"});
    ASSERT_EQ(t.error, ParseError::None);
    EXPECT_EQ(t.ItemAt(0, 1).RecordAs<StaticRecord>().location.end, 0x1F);
    EXPECT_EQ(t.UnitAt(0).end, 0x1Fu);
}

TEST(TitleArgumentsTest, DecimalSpacingUpTo255) {
    EXPECT_EQ(RecordOf<TitleRecord>("t = TITLE, 255")->spacing, 255);
    EXPECT_EQ(RecordOf<TitleRecord>("t = TITLE")->spacing, 0);
}

TEST(StringArgumentsTest, ModesWidthsAndRoom) {
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, ASCIIZ")->flags, 0);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, counter, 2, BENDIAN")->flags, 2 | kStringBigEndian);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, COUNTER")->flags, 0);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-31, COUNTER, 1")->flags, 1);
}

TEST(RelativeArgumentsTest, OperationsAndOperands) {
    const auto copy = RecordOf<RelativeRecord>("r = RELATIVE, 41, 11");
    EXPECT_EQ(copy->flags & kRelativeOpMask, static_cast<int>(RelativeOp::Copy));
    const auto notOp = RecordOf<RelativeRecord>("r = RELATIVE, 41.0-41.3, 11.4-11.7, BENDIAN, NOT");
    EXPECT_EQ(notOp->flags, static_cast<int>(RelativeOp::Not) | kRelativeBigEndian);
    EXPECT_EQ(notOp->sourceBits, MakeBitRange(4, 7));
    EXPECT_EQ(RecordOf<RelativeRecord>("r = RELATIVE, 41, 11, SUB, 10")->operand, 0x10u);
    EXPECT_EQ(RecordOf<RelativeRecord>("r = RELATIVE, 41, 11, DIV, 3")->operand, 3u);
}

TEST(RelativeArgumentsTest, SpanCoversTargetAndSource) {
    const test::ParsedTemplate t = test::ParseLines({"[U]", "r = RELATIVE, 41, 11"});
    EXPECT_EQ(t.UnitAt(0).start, 0x11u);
    EXPECT_EQ(t.UnitAt(0).end, 0x41u);
    const test::ParsedTemplate empty = test::ParseLines({"[U]", "r = RELATIVE"});
    EXPECT_EQ(empty.error, ParseError::None);
    EXPECT_EQ(empty.UnitAt(0).start, 0u);
}

TEST(ChecksumArgumentsTest, DefaultsAndKeywords) {
    const auto none = RecordOf<ChecksumRecord>("c = CHECKSUM");
    EXPECT_EQ(none->location.start, 0);
    EXPECT_EQ(none->range.end, 0);
    EXPECT_EQ(none->flags, kChecksumZeros);
    EXPECT_EQ(RecordOf<ChecksumRecord>("c = CHECKSUM, 40, 10-3F, ONES, BENDIAN")->flags, kChecksumBigEndian);
    EXPECT_EQ(RecordOf<ChecksumRecord>("c = CHECKSUM, 40, 10-3F, ONES, ZEROS")->flags, kChecksumZeros);
}

TEST(CrcArgumentsTest, CompleteDefinitionIsAField) {
    const test::ParsedTemplate t = test::ParseLines({"[U]", "c = CRC, 7E-7F, 0-75, crc16-xmodem, BENDIAN"});
    ASSERT_EQ(t.error, ParseError::None);
    const CrcRecord crc = t.ItemAt(0, 0).RecordAs<CrcRecord>();
    EXPECT_EQ(crc.flags, kCrcDefined | kCrcBigEndian);
    EXPECT_EQ(crc.algorithm, CrcAlgorithm::Crc16Xmodem);
    EXPECT_EQ(crc.location.start, 0x7E);
    EXPECT_EQ(crc.range.end, 0x75);
    EXPECT_EQ(t.UnitAt(0).start, 0u);
    EXPECT_EQ(t.UnitAt(0).end, 0x7Fu);
    EXPECT_EQ(RecordOf<CrcRecord>("c = CRC, 10-13, 0-F, CRC32")->algorithm, CrcAlgorithm::Crc32);
    EXPECT_EQ(RecordOf<CrcRecord>("c = CRC, 10, 0-F, SUM8-NEG")->flags, kCrcDefined);
}

TEST(CrcArgumentsTest, AnythingElseIsAPlaceholderWithoutMemory) {
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
