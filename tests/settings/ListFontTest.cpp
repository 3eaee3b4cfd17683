#include "settings/ListFont.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "settings/AppSettings.h"
#include "settings/MulDiv.h"

namespace tessaly {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Rounds half away from zero, keeps the whole product, and gives -1 for a zero denominator or overflow.
TEST(MulDiv, RoundsAndOverflowsAsTheSystemCallDoes) {
    const std::array<std::int32_t, 4> cases[] = {{5, 1, 2, 3},     {-5, 1, 2, -3},
                                                 {5, 1, -2, -3},   {-5, 1, -2, 3},
                                                 {1, 1, 3, 0},     {kMax, kMax, kMax, kMax},
                                                 {10, 96, 0, -1},  {kMin, -1, 1, -1},
                                                 {kMin, 1, 1, -1}, {kMin + 1, 1, 1, kMin + 1}};
    for (const auto& [number, numerator, denominator, expected] : cases) {
        EXPECT_EQ(MulDiv(number, numerator, denominator), expected)
            << number << " * " << numerator << " / " << denominator;
    }
}

// Heights are negative and rounded; every stored size survives the way there and back from 72 dpi up, and
// degenerate inputs give numbers, not faults.
TEST(ListFont, PointsAndHeightsConvertBothWays) {
    EXPECT_EQ(PointsToHeight(10, 96), -13);
    EXPECT_EQ(HeightToPoints(16, 96), -12);
    for (std::int32_t dpi : {72, 96, 120, 144, 192, 300}) {
        for (std::int32_t points = 0; points <= 255; ++points) {
            ASSERT_EQ(HeightToPoints(PointsToHeight(points, dpi), dpi), points) << points << " at " << dpi;
        }
    }
    EXPECT_EQ(HeightToPoints(-13, 0), 1);
}

TEST(ListFont, WeightFollowsTheBoldFlagAndBoldStartsAt700) {
    EXPECT_EQ(FontWeight(kFontItalic), 400);
    EXPECT_EQ(FontWeight(kFontBold | kFontItalic), 700);
    EXPECT_FALSE(IsBoldWeight(699));
    EXPECT_TRUE(IsBoldWeight(700));
}

}  // namespace
}  // namespace tessaly
