#include "settings/ParseInt.h"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>
#include <utility>

namespace tessaly {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Leading white space and one sign are taken, the number stops at the first character that is no digit,
// and numbers beyond the range saturate.
TEST(ParseInt, ReadsLikePercentD) {
    const std::pair<std::string_view, std::int32_t> cases[] = {
        {"0", 0},
        {"007", 7},
        {"\t\n\v\f\r 5", 5},
        {"-3", -3},
        {"+3", 3},
        {" -12", -12},
        {"250 ms", 250},
        {"1,2", 1},
        {"3.9", 3},
        {"0x1F", 0},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"-2147483647", kMin + 1},
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999999999999999999999999999999", kMax},
        {"-99999999999999999999999999999999999999", kMin},
        {"00000000000000000000000000000000000012", 12},
    };
    for (const auto& [text, expected] : cases) {
        std::int32_t value = 77;
        EXPECT_TRUE(ParseInt(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST(ParseInt, WithoutDigitsThereIsNoNumber) {
    for (std::string_view text : {"", " ", "abc", "-", "+", "+-1", "- 5", "x12", "\xC3\xA9"}) {
        std::int32_t value = 77;
        EXPECT_FALSE(ParseInt(text, value)) << text;
        EXPECT_EQ(value, 77) << text;
    }
}

}  // namespace
}  // namespace tessaly
