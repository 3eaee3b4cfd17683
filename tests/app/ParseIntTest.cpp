#include "app/ParseInt.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string_view>

namespace tessaly {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::optional<std::int32_t> Parse(std::string_view text) {
    std::int32_t value = 0;
    if (!ParseInt(text, value)) {
        return std::nullopt;
    }
    return value;
}

TEST(ParseInt, ReadsDecimalNumbers) {
    EXPECT_EQ(Parse("0"), 0);
    EXPECT_EQ(Parse("200"), 200);
    EXPECT_EQ(Parse("007"), 7);
}

TEST(ParseInt, TakesLeadingWhiteSpaceAndOneSign) {
    EXPECT_EQ(Parse("  42"), 42);
    EXPECT_EQ(Parse("\t\n\v\f\r 5"), 5);
    EXPECT_EQ(Parse("-3"), -3);
    EXPECT_EQ(Parse("+3"), 3);
    EXPECT_EQ(Parse(" -12"), -12);
}

TEST(ParseInt, StopsAtTheFirstCharacterThatIsNoDigit) {
    EXPECT_EQ(Parse("12ab"), 12);
    EXPECT_EQ(Parse("250 ms"), 250);
    EXPECT_EQ(Parse("1,2"), 1);
    EXPECT_EQ(Parse("3.9"), 3);
    EXPECT_EQ(Parse("0x1F"), 0);
}

TEST(ParseInt, WithoutDigitsThereIsNoNumber) {
    for (std::string_view text : {"", " ", "abc", "-", "+", "+-1", "- 5", "x12", "\xC3\xA9"}) {
        std::int32_t value = 77;
        EXPECT_FALSE(ParseInt(text, value)) << text;
        EXPECT_EQ(value, 77) << text;
    }
}

TEST(ParseInt, TheEndsOfTheRangeAreExact) {
    EXPECT_EQ(Parse("2147483647"), kMax);
    EXPECT_EQ(Parse("-2147483648"), kMin);
    EXPECT_EQ(Parse("-2147483647"), kMin + 1);
}

TEST(ParseInt, NumbersBeyondTheRangeSaturate) {
    EXPECT_EQ(Parse("2147483648"), kMax);
    EXPECT_EQ(Parse("-2147483649"), kMin);
    EXPECT_EQ(Parse("99999999999999999999999999999999999999"), kMax);
    EXPECT_EQ(Parse("-99999999999999999999999999999999999999"), kMin);
    EXPECT_EQ(Parse("00000000000000000000000000000000000012"), 12);
}

}  // namespace
}  // namespace tessaly
