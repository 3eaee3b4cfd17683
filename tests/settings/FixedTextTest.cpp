#include "settings/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tessaly {
namespace {

template <std::size_t N>
void ExpectTerminated(const FixedText<N>& text) {
    ASSERT_LT(text.View().size(), N);
    EXPECT_EQ(text.CStr()[text.View().size()], '\0');
}

TEST(FixedText, KeepsTextsThatFitUpToAZeroByte) {
    FixedText<16> text;
    EXPECT_STREQ(text.CStr(), "");
    text.Set(std::string(15, 'p'));
    EXPECT_EQ(text.View(), std::string(15, 'p'));
    ExpectTerminated(text);
    text.Set(std::string("ab\0cd", 5));
    EXPECT_EQ(text.View(), "ab");
}

TEST(FixedText, CutsLongerTextsToCapacityLessOne) {
    FixedText<16> text;
    text.Set("/dev/ttyUSB0-with-a-long-name");
    EXPECT_EQ(text.View(), "/dev/ttyUSB0-wi");
    ExpectTerminated(text);
    FixedText<1> tiny;
    tiny.Set("x");
    EXPECT_EQ(tiny.View(), "");
    ExpectTerminated(tiny);
}

TEST(FixedText, EqualityIsByTextNotByHistory) {
    FixedText<8> reused;
    reused.Set("abcdefg");
    reused.Set("ab");
    FixedText<8> fresh;
    fresh.Set("ab");
    EXPECT_EQ(reused, fresh);
    fresh.Set("aB");
    EXPECT_FALSE(reused == fresh);
}

}  // namespace
}  // namespace tessaly
