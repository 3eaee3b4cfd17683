#include "engine/CrcAlgorithm.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

// Each algorithm's catalogued check value over the ASCII text "123456789", and its initial value, which
// is what no bytes give.
TEST(ComputeCrcTest, CheckValuesOfTheCatalogue) {
    const std::string check = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(check.data());
    const struct {
        CrcAlgorithm algorithm;
        std::uint32_t checkValue;
        std::uint32_t initial;
    } cases[] = {
        {CrcAlgorithm::Crc8, 0xF4, 0},          {CrcAlgorithm::Crc16Ccitt, 0x29B1, 0xFFFF},
        {CrcAlgorithm::Crc16Xmodem, 0x31C3, 0}, {CrcAlgorithm::Crc16Arc, 0xBB3D, 0},
        {CrcAlgorithm::Crc32, 0xCBF43926, 0},   {CrcAlgorithm::Sum8Neg, 0x23, 0},
    };
    for (const auto& c : cases) {
        const std::string_view name = kCrcAlgorithmNames[static_cast<int>(c.algorithm)];
        EXPECT_EQ(ComputeCrc(c.algorithm, bytes, check.size()), c.checkValue) << name;
        EXPECT_EQ(ComputeCrc(c.algorithm, nullptr, 0), c.initial) << name;
    }
}

TEST(CrcAlgorithmNamesTest, EveryNameFindsItsAlgorithmIgnoringCase) {
    for (std::uint8_t a = 0; a < kCrcAlgorithmCount; ++a) {
        std::string lower(kCrcAlgorithmNames[a]);
        for (char& c : lower) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        CrcAlgorithm found = CrcAlgorithm::Sum8Neg;
        ASSERT_TRUE(FindCrcAlgorithm(lower, found)) << lower;
        EXPECT_EQ(static_cast<std::uint8_t>(found), a);
    }
    CrcAlgorithm unchanged = CrcAlgorithm::Crc32;
    EXPECT_FALSE(FindCrcAlgorithm("CRC64", unchanged));
    EXPECT_EQ(unchanged, CrcAlgorithm::Crc32);
}

}  // namespace
}  // namespace tessaly
