#include "settings/ParseInt.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string_view>
#include <utility>

namespace tessaly {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Leading white space and one sign are taken, the number stops at the first character that is no digit,
// and numbers beyond the range saturate. Without a digit there is no number and the value stays.
TEST(ParseInt, ReadsLikePercentD) {
    const std::pair<std::string_view, std::optional<std::int32_t>> cases[] = {
        {"\t\n\v\f\r 5", 5},
        {"-3", -3},
        {"+3", 3},
        {"250 ms", 250},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999999999999999999999999999999", kMax},
        {"00000000000000000000000000000000000012", 12},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"- 5", std::nullopt},
        {"\xC3\xA9", std::nullopt}};
    for (const auto& [text, expected] : cases) {
        std::int32_t value = 77;
        EXPECT_EQ(ParseInt(text, value), expected.has_value()) << text;
        EXPECT_EQ(value, expected.value_or(77)) << text;
    }
}

}  // namespace
}  // namespace tessaly
