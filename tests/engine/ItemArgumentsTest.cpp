#include <gtest/gtest.h>

#include <string>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ParseEntryLine;

ParseError ErrorOf(std::string_view entry) {
    return ParseEntryLine(entry).error;
}

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

TEST(BitArgumentsTest, ExactlyThreeArgumentsAndEmptyTextsAbsent) {
    EXPECT_EQ(ErrorOf("b = BIT, 10.0, Off"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("b = BIT, 10.0, a, b, c"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("b = BIT, 10.Q, a, b"), ParseError::InvalidSyntax);
    const auto bit = RecordOf<BitRecord>("b = BIT, 10.0, , On");
    EXPECT_EQ(bit->texts[0], nullptr);
    EXPECT_STREQ(bit->texts[1], "On");
}

TEST(EnumArgumentsTest, TextCountFollowsTheBitWidth) {
    EXPECT_EQ(RecordOf<EnumRecord>("e = ENUM, 10.0, A, B")->count, 2);
    EXPECT_EQ(ErrorOf("e = ENUM, 10.0, A, B, C"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("e = ENUM, 10.0, A"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("e = ENUM, 10.3-10.1, A, B"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("e = ENUM, 10.0-10.1, A, B, C"), ParseError::InvalidArgumentNumber);
    const auto four = RecordOf<EnumRecord>("e = ENUM, 10.4-10.7, " + Repeated("x,", 15) + "last");
    EXPECT_EQ(four->count, 16);
    EXPECT_STREQ(four->texts[15], "last");
}

TEST(EnumArgumentsTest, FullByteKeeps256TextsWithCountZero) {
    const std::string entry = "e = ENUM, 10.0-10.7,v" + Repeated(",", 254) + ",z";
    const auto full = RecordOf<EnumRecord>(entry);
    EXPECT_EQ(full->count, 0);
    EXPECT_STREQ(full->texts[0], "v");
    EXPECT_EQ(full->texts[1], nullptr);
    EXPECT_STREQ(full->texts[255], "z");
}

TEST(NumArgumentsTest, SizeRangeAndOptions) {
    EXPECT_EQ(ErrorOf("n = NUM, 10-14, 0-1"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("n = NUM, 14-10, 0-1"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 10, DEC"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1, 0"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1, -1"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1, 1e99"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1, OCT"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1, HEX, LENDIAN, 2, BIN"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("n = NUM, 10, 0-1"), ParseError::InvalidArgumentNumber);

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

TEST(TimeArgumentsTest, AlwaysUnsupported) {
    EXPECT_EQ(ErrorOf("t = TIME, 10, 0-1"), ParseError::UnsupportedKeyword);
}

TEST(StaticArgumentsTest, WholeBytesTakeOneByteAValue) {
    const auto three = RecordOf<StaticRecord>("s = STATIC, 20, 1, 2, 3");
    EXPECT_EQ(three->location.start, 0x20);
    EXPECT_EQ(three->location.end, 0x22);
    EXPECT_EQ(three->bytes[2], 3);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20-21, 1FF, 2")->bytes[0], 0xFF);
    EXPECT_EQ(ErrorOf("s = STATIC, 20-21, 1, 2, 3"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("s = STATIC"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("s = STATIC, 20, 1, G"), ParseError::InvalidSyntax);
}

TEST(StaticArgumentsTest, PartOfAByteTakesOneValue) {
    const auto bit = RecordOf<StaticRecord>("s = STATIC, 20.3");
    EXPECT_EQ(bit->bits, MakeBitRange(3, 3));
    EXPECT_EQ(bit->bytes[0], 0);
    EXPECT_EQ(RecordOf<StaticRecord>("s = STATIC, 20.0-20.3, A, ignored")->bytes[0], 0x0A);
    EXPECT_EQ(ErrorOf("s = STATIC, 20.0-20.3, A, B, C"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("s = STATIC, 20.4-21.3, A"), ParseError::InvalidArgumentNumber);
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
    EXPECT_EQ(ErrorOf("t = TITLE, 256"), ParseError::InvalidArgumentValue);
    EXPECT_EQ(ErrorOf("t = TITLE, 12A"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("t = TITLE, 1, 2"), ParseError::InvalidArgumentNumber);
}

TEST(StringArgumentsTest, ModesWidthsAndRoom) {
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, ASCIIZ")->flags, 0);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, counter, 2, BENDIAN")->flags, 2 | kStringBigEndian);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-3F, COUNTER")->flags, 0);
    EXPECT_EQ(RecordOf<StringRecord>("s = STRING, 30-31, COUNTER, 1")->flags, 1);
    EXPECT_EQ(ErrorOf("s = STRING, 30-30, COUNTER, 1"), ParseError::NotEnoughMemory);
    EXPECT_EQ(ErrorOf("s = STRING, 30-3F, ASCIIZ, 1"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("s = STRING, 30-3F, PASCAL"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("s = STRING, 30-3F, COUNTER, 3"), ParseError::InvalidArgumentValue);
    EXPECT_EQ(ErrorOf("s = STRING, 30-3F, COUNTER, X"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("s = STRING, 30.1-3F, ASCIIZ"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("s = STRING, 3F-30, ASCIIZ"), ParseError::NotEnoughMemory);
}

TEST(RelativeArgumentsTest, OperationsAndOperands) {
    const auto copy = RecordOf<RelativeRecord>("r = RELATIVE, 41, 11");
    EXPECT_EQ(copy->flags & kRelativeOpMask, static_cast<int>(RelativeOp::Copy));
    const auto notOp = RecordOf<RelativeRecord>("r = RELATIVE, 41.0-41.3, 11.4-11.7, BENDIAN, NOT");
    EXPECT_EQ(notOp->flags, static_cast<int>(RelativeOp::Not) | kRelativeBigEndian);
    EXPECT_EQ(notOp->sourceBits, MakeBitRange(4, 7));
    EXPECT_EQ(RecordOf<RelativeRecord>("r = RELATIVE, 41, 11, SUB, 10")->operand, 0x10u);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, ADD"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, ADD, 1, 2"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, NOT, 1"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, XOR, FF, BENDIAN"), ParseError::InvalidArgumentNumber);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, XOR, ZZ"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, POW, 2"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("r = RELATIVE, 41, 11, DIV, 0"), ParseError::InvalidArgumentValue);
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
    EXPECT_EQ(ErrorOf("c = CHECKSUM, 40, 10-3F, CRC"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("c = CHECKSUM, 40.1, 10-3F"), ParseError::InvalidSyntax);
    EXPECT_EQ(ErrorOf("c = CHECKSUM, 40, 10-3F.7"), ParseError::InvalidSyntax);
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
