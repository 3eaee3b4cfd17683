#include <gtest/gtest.h>

#include <cmath>

#include "engine/KeywordTable.h"
#include "engine/ScriptFields.h"
#include "engine/ScriptNumbers.h"

namespace tessaly {
namespace {

TEST(FieldsTest, CountAndGetTrimmedFields) {
    EXPECT_EQ(CountFields("A, B ,C", ','), 3);
    EXPECT_EQ(GetField("A, B ,C", ',', 1), "B");
    EXPECT_EQ(GetField("A", ',', 3), "");
    EXPECT_EQ(CountFields("", ','), 1);
    EXPECT_EQ(GetField("", ',', 0), "");
    EXPECT_EQ(GetField("a,,b", ',', 1), "");
    EXPECT_EQ(GetField(" \t\v\f\r\nx y\n", ',', 0), "x y");
    EXPECT_EQ(GetField("a,b", ',', -1), "");
}

TEST(KeywordTest, TableOrderIsTheStoredFormat) {
    EXPECT_EQ(kKeywordTable[0], "I2C8");
    EXPECT_EQ(kKeywordTable[3], "BIT");
    EXPECT_EQ(kKeywordTable[12], "CRC");
    EXPECT_EQ(kKeywordTable[13], "BIN");
    EXPECT_EQ(kKeywordTable[22], "NOT");
    EXPECT_EQ(kKeywordTable[30], "COPY");
    EXPECT_EQ(std::size(kKeywordTable), static_cast<std::size_t>(kKeywordCount));
}

TEST(KeywordTest, LookupIsCaseInsensitiveWithinOneClass) {
    EXPECT_EQ(FindKeyword("bendian", kByteOrderKeywords), 1);
    EXPECT_EQ(FindKeyword(GetField("x, BENDIAN ", ',', 1), kByteOrderKeywords), 1);
    EXPECT_EQ(FindKeyword("HEX", kBaseKeywords), 2);
    EXPECT_EQ(FindKeyword("HEX", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("Crc", kItemKeywords), 9);
    EXPECT_EQ(FindKeyword("", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("BITS", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("COPY", 22, 20), -1);
}

TEST(NumberTest, HexadecimalAndDecimalDigitsOnly) {
    std::uint32_t value = 99;
    EXPECT_TRUE(ParseNumber("", Radix::Hexadecimal, value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(ParseNumber("fF", Radix::Hexadecimal, value));
    EXPECT_EQ(value, 0xFFu);
    EXPECT_FALSE(ParseNumber("0x10", Radix::Hexadecimal, value));
    EXPECT_FALSE(ParseNumber("1 0", Radix::Hexadecimal, value));
    EXPECT_FALSE(ParseNumber("-1", Radix::Decimal, value));
    EXPECT_FALSE(ParseNumber("1A", Radix::Decimal, value));
    EXPECT_TRUE(ParseNumber("255", Radix::Decimal, value));
    EXPECT_EQ(value, 255u);
}

TEST(NumberTest, OverflowWrapsIn32Bits) {
    std::uint32_t value = 0;
    EXPECT_TRUE(ParseNumber("123456789", Radix::Hexadecimal, value));
    EXPECT_EQ(value, 0x23456789u);
    EXPECT_TRUE(ParseNumber("4294967296", Radix::Decimal, value));
    EXPECT_EQ(value, 0u);
}

TEST(ScaleTest, ReadsLikeTheCFloatConversion) {
    float scale = 0;
    EXPECT_TRUE(ParseScale("2.5x", scale));
    EXPECT_FLOAT_EQ(scale, 2.5f);
    EXPECT_TRUE(ParseScale("-1", scale));
    EXPECT_FLOAT_EQ(scale, -1.0f);
    EXPECT_TRUE(ParseScale("1e-1", scale));
    EXPECT_FLOAT_EQ(scale, 0.1f);
    EXPECT_TRUE(ParseScale(".5", scale));
    EXPECT_FLOAT_EQ(scale, 0.5f);
    EXPECT_TRUE(ParseScale("1e99", scale));
    EXPECT_TRUE(std::isinf(scale));
    EXPECT_FALSE(ParseScale("x", scale));
    EXPECT_FALSE(ParseScale("", scale));
}

struct LocationCase {
    const char* text;
    std::uint16_t start;
    std::uint16_t end;
    std::uint8_t firstBit;
    std::uint8_t lastBit;
};

class LocationFormTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(LocationFormTest, ReadsAddressesAndBits) {
    const LocationCase& c = GetParam();
    Location location;
    BitRange bits = 0;
    ASSERT_TRUE(ParseLocation(c.text, location, &bits));
    EXPECT_EQ(location.start, c.start);
    EXPECT_EQ(location.end, c.end);
    EXPECT_EQ(FirstBit(bits), c.firstBit);
    EXPECT_EQ(LastBit(bits), c.lastBit);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LocationFormTest,
    ::testing::Values(LocationCase{"10", 0x10, 0x10, 0, 7}, LocationCase{"10.3", 0x10, 0x10, 3, 3},
                      LocationCase{"10-13", 0x10, 0x13, 0, 7}, LocationCase{"10.4-11.2", 0x10, 0x11, 4, 2},
                      LocationCase{"10.4-11", 0x10, 0x11, 4, 7}, LocationCase{"10-11.2", 0x10, 0x11, 0, 2},
                      LocationCase{"20-10", 0x20, 0x10, 0, 7}, LocationCase{"1FFFF", 0xFFFF, 0xFFFF, 0, 7},
                      LocationCase{"", 0, 0, 0, 7}, LocationCase{"10.1F", 0x10, 0x10, 0xF, 0xF},
                      LocationCase{"10.1.2", 0x10, 0x10, 0, 7}),
    [](const ::testing::TestParamInfo<LocationCase>& info) { return "Case" + std::to_string(info.index); });

TEST(LocationTest, MalformedLocationsFail) {
    Location location;
    BitRange bits = 0;
    EXPECT_FALSE(ParseLocation("10.3", location, nullptr));
    EXPECT_FALSE(ParseLocation("10-11.2", location, nullptr));
    EXPECT_FALSE(ParseLocation("1-2-3", location, &bits));
    EXPECT_FALSE(ParseLocation("G", location, &bits));
    EXPECT_FALSE(ParseLocation("10.x", location, &bits));
    EXPECT_FALSE(ParseLocation("10-y", location, &bits));
    EXPECT_FALSE(ParseLocation("10-11.z", location, &bits));
}

TEST(RangeTest, NeedsExactlyTwoHexadecimalNumbers) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    EXPECT_TRUE(ParseRange("0-FFFFFFFF", low, high));
    EXPECT_EQ(low, 0u);
    EXPECT_EQ(high, 0xFFFFFFFFu);
    EXPECT_TRUE(ParseRange("20-10", low, high));
    EXPECT_EQ(low, 0x20u);
    EXPECT_EQ(high, 0x10u);
    EXPECT_FALSE(ParseRange("10", low, high));
    EXPECT_FALSE(ParseRange("1-2-3", low, high));
    EXPECT_FALSE(ParseRange("1.0-2", low, high));
}

}  // namespace
}  // namespace tessaly
