#include "settings/FixedText.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

// A text is kept up to its first zero byte and cut to the capacity less one; two texts are equal by their
// text, whatever the buffer held before.
TEST(FixedText, KeepsTheTextUpToAZeroByteCutToCapacityLessOne) {
    FixedText<8> text;
    EXPECT_STREQ(text.CStr(), "");
    text.Set("/dev/ttyUSB0");
    EXPECT_STREQ(text.CStr(), "/dev/tt");
    text.Set(std::string("ab\0cd", 5));
    EXPECT_EQ(text.View(), "ab");
    FixedText<8> fresh;
    fresh.Set("ab");
    EXPECT_EQ(text, fresh);
    fresh.Set("aB");
    EXPECT_FALSE(text == fresh);
}

}  // namespace
}  // namespace tessaly
