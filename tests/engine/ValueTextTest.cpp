#include <gtest/gtest.h>

#include <string>

#include "engine/ValueText.h"

namespace tessaly {
namespace {

constexpr auto kBadBase = static_cast<NumberBase>(3);

bool Parses(std::string_view text, NumberBase base, double expected) {
    double value = -1.0;
    return ParseValueText(text, base, value) && value == expected;
}

bool Refuses(std::string_view text, NumberBase base) {
    double value = 0.0;
    return !ParseValueText(text, base, value);
}

std::string Formatted(std::uint32_t value, NumberBase base) {
    std::string text = "untouched";
    EXPECT_TRUE(FormatValueText(value, base, text));
    return text;
}

TEST(ParseValueTextTest, HexAcceptsEitherCaseButNoPrefix) {
    EXPECT_TRUE(Parses("ff", NumberBase::Hex, 255));
    EXPECT_TRUE(Parses("FF", NumberBase::Hex, 255));
    EXPECT_TRUE(Parses("aBc", NumberBase::Hex, 0xABC));
    EXPECT_TRUE(Refuses("0xFF", NumberBase::Hex));
    EXPECT_TRUE(Refuses("FG", NumberBase::Hex));
}

TEST(ParseValueTextTest, DecimalRefusesSignsBlanksAndLetters) {
    EXPECT_TRUE(Parses("0", NumberBase::Dec, 0));
    EXPECT_TRUE(Parses("0042", NumberBase::Dec, 42));
    EXPECT_TRUE(Refuses("-1", NumberBase::Dec));
    EXPECT_TRUE(Refuses("+1", NumberBase::Dec));
    EXPECT_TRUE(Refuses(" 1", NumberBase::Dec));
    EXPECT_TRUE(Refuses("1 ", NumberBase::Dec));
    EXPECT_TRUE(Refuses("1A", NumberBase::Dec));
    EXPECT_TRUE(Refuses("1.5", NumberBase::Dec));
}

TEST(ParseValueTextTest, BinaryTakesOnlyZeroAndOne) {
    EXPECT_TRUE(Parses("1010", NumberBase::Bin, 10));
    EXPECT_TRUE(Refuses("102", NumberBase::Bin));
}

TEST(ParseValueTextTest, EmptyTextAndUnknownBaseFail) {
    EXPECT_TRUE(Refuses("", NumberBase::Dec));
    EXPECT_TRUE(Refuses("1", kBadBase));
}

TEST(ParseValueTextTest, ValuesBeyond32BitsDoNotWrap) {
    EXPECT_TRUE(Parses("4294967296", NumberBase::Dec, 4294967296.0));
    EXPECT_TRUE(Parses("100000000", NumberBase::Hex, 4294967296.0));
    double value = 0.0;
    ASSERT_TRUE(ParseValueText(std::string(400, '9'), NumberBase::Dec, value));
    EXPECT_GT(value, 4294967295.0);
}

TEST(FormatValueTextTest, DigitsWithoutPrefixOrLeadingZeros) {
    EXPECT_EQ(Formatted(0, NumberBase::Bin), "0");
    EXPECT_EQ(Formatted(0, NumberBase::Dec), "0");
    EXPECT_EQ(Formatted(0, NumberBase::Hex), "0");
    EXPECT_EQ(Formatted(10, NumberBase::Bin), "1010");
    EXPECT_EQ(Formatted(0xBEEF, NumberBase::Hex), "BEEF");
    EXPECT_EQ(Formatted(1000, NumberBase::Dec), "1000");
}

TEST(FormatValueTextTest, FullRangeIsUnsigned) {
    EXPECT_EQ(Formatted(0xFFFFFFFF, NumberBase::Dec), "4294967295");
    EXPECT_EQ(Formatted(0xFFFFFFFF, NumberBase::Hex), "FFFFFFFF");
    EXPECT_EQ(Formatted(0xFFFFFFFF, NumberBase::Bin), std::string(32, '1'));
    EXPECT_EQ(Formatted(0x80000000, NumberBase::Dec), "2147483648");
}

TEST(FormatValueTextTest, UnknownBaseFailsAndLeavesTheText) {
    std::string text = "kept";
    EXPECT_FALSE(FormatValueText(5, kBadBase, text));
    EXPECT_EQ(text, "kept");
}

TEST(ValueTextTest, FormattedValuesParseBack) {
    for (const NumberBase base : {NumberBase::Bin, NumberBase::Dec, NumberBase::Hex}) {
        for (const std::uint32_t value : {0u, 1u, 7u, 255u, 256u, 65535u, 0x12345678u, 0xFFFFFFFFu}) {
            double parsed = -1.0;
            ASSERT_TRUE(ParseValueText(Formatted(value, base), base, parsed));
            EXPECT_EQ(parsed, static_cast<double>(value));
        }
    }
}

}  // namespace
}  // namespace tessaly
