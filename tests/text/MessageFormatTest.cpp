#include <gtest/gtest.h>

#include "text/MessageFormat.h"

namespace tessaly {
namespace {

TEST(FormatMessageTest, PlaceholdersTakeArgumentsInOrder) {
    EXPECT_EQ(FormatMessage("Version %d.%d (Build %d)", {"1", "2", "345"}), "Version 1.2 (Build 345)");
    EXPECT_EQ(FormatMessage("file %s, unit %s", {"A", "B"}), "file A, unit B");
}

TEST(FormatMessageTest, UnusedArgumentsAndMissingOnesAreHarmless) {
    EXPECT_EQ(FormatMessage("Do you realy want to load data?", {"A", "B"}),
              "Do you realy want to load data?");
    EXPECT_EQ(FormatMessage("%s and %s and %s", {"x"}), "x and  and ");
}

TEST(FormatMessageTest, OtherPercentSequencesStandForThemselves) {
    EXPECT_EQ(FormatMessage("100%% %n %x %", {"unused"}), "100% %n %x %");
}

}  // namespace
}  // namespace tessaly
