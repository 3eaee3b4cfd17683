#include <gtest/gtest.h>

#include <string>

#include "engine/ValueText.h"

namespace tessaly {
namespace {

constexpr auto kBadBase = static_cast<NumberBase>(3);

std::string Formatted(std::uint32_t value, NumberBase base) {
    std::string text = "untouched";
    EXPECT_TRUE(FormatValueText(value, base, text));
    return text;
}

// Hexadecimal takes either case but no prefix; no base takes signs, blanks or empty text.
TEST(ParseValueTextTest, DigitsOfTheBaseOnly) {
    const struct {
        const char* text;
        NumberBase base;
        bool parses;
        double value;
    } cases[] = {
        {"ff", NumberBase::Hex, true, 255},  {"aBc", NumberBase::Hex, true, 0xABC},
        {"0xFF", NumberBase::Hex, false, 0}, {"FG", NumberBase::Hex, false, 0},
        {"0", NumberBase::Dec, true, 0},     {"0042", NumberBase::Dec, true, 42},
        {"-1", NumberBase::Dec, false, 0},   {"+1", NumberBase::Dec, false, 0},
        {" 1", NumberBase::Dec, false, 0},   {"1 ", NumberBase::Dec, false, 0},
        {"1A", NumberBase::Dec, false, 0},   {"1.5", NumberBase::Dec, false, 0},
        {"1010", NumberBase::Bin, true, 10}, {"102", NumberBase::Bin, false, 0},
        {"", NumberBase::Dec, false, 0},     {"1", kBadBase, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -1.0;
        ASSERT_EQ(ParseValueText(c.text, c.base, value), c.parses);
        if (c.parses) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ParseValueTextTest, ValuesBeyond32BitsDoNotWrap) {
    double value = 0.0;
    ASSERT_TRUE(ParseValueText("100000000", NumberBase::Hex, value));
    EXPECT_EQ(value, 4294967296.0);
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
