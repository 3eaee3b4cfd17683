#include "app/FixedText.h"

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

TEST(FixedText, StartsEmpty) {
    const FixedText<16> text;
    EXPECT_EQ(text.View(), "");
    EXPECT_STREQ(text.CStr(), "");
}

TEST(FixedText, KeepsTextsThatFit) {
    FixedText<16> text;
    text.Set("COM1");
    EXPECT_EQ(text.View(), "COM1");
    text.Set(std::string(15, 'p'));
    EXPECT_EQ(text.View(), std::string(15, 'p'));
    ExpectTerminated(text);
}

TEST(FixedText, CutsLongerTextsToCapacityLessOne) {
    FixedText<16> text;
    text.Set("/dev/ttyUSB0-with-a-long-name");
    EXPECT_EQ(text.View(), "/dev/ttyUSB0-wi");
    ExpectTerminated(text);
}

TEST(FixedText, EndsAtAZeroByte) {
    FixedText<16> text;
    text.Set(std::string("ab\0cd", 5));
    EXPECT_EQ(text.View(), "ab");
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

TEST(FixedText, CapacityOneHoldsOnlyTheTerminator) {
    FixedText<1> text;
    text.Set("x");
    EXPECT_EQ(text.View(), "");
    ExpectTerminated(text);
}

}  // namespace
}  // namespace tessaly
