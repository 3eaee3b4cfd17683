#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CrcAlgorithm.h"

namespace tessaly {
namespace {

const std::string kCheckInput = "123456789";

std::uint32_t CrcOf(CrcAlgorithm algorithm, std::string_view text) {
    return ComputeCrc(algorithm, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::uint32_t CrcOf(CrcAlgorithm algorithm, const std::vector<std::uint8_t>& bytes) {
    return ComputeCrc(algorithm, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> SampleBytes() {
    std::vector<std::uint8_t> bytes;
    std::uint32_t state = 12345;
    for (int i = 0; i < 117; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    return bytes;
}

// The catalogued check values: each algorithm over the ASCII text "123456789".
TEST(ComputeCrcTest, CheckValuesOfTheCatalogue) {
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc8, kCheckInput), 0xF4u);
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc16Ccitt, kCheckInput), 0x29B1u);
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc16Xmodem, kCheckInput), 0x31C3u);
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc16Arc, kCheckInput), 0xBB3Du);
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc32, kCheckInput), 0xCBF43926u);
    EXPECT_EQ(CrcOf(CrcAlgorithm::Sum8Neg, kCheckInput), 0x23u);
}

TEST(ComputeCrcTest, Crc32OfAWellKnownSentence) {
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc32, "The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(ComputeCrcTest, NoBytesGiveTheInitialValue) {
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Crc8, nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Crc16Ccitt, nullptr, 0), 0xFFFFu);
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Crc16Xmodem, nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Crc16Arc, nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Crc32, nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc(CrcAlgorithm::Sum8Neg, nullptr, 0), 0u);
}

TEST(ComputeCrcTest, ResultsStayWithinTheirWidth) {
    const std::vector<std::uint8_t> bytes = SampleBytes();
    EXPECT_LE(CrcOf(CrcAlgorithm::Crc8, bytes), 0xFFu);
    EXPECT_LE(CrcOf(CrcAlgorithm::Crc16Ccitt, bytes), 0xFFFFu);
    EXPECT_LE(CrcOf(CrcAlgorithm::Crc16Xmodem, bytes), 0xFFFFu);
    EXPECT_LE(CrcOf(CrcAlgorithm::Crc16Arc, bytes), 0xFFFFu);
    EXPECT_LE(CrcOf(CrcAlgorithm::Sum8Neg, bytes), 0xFFu);
}

// A CRC without final XOR leaves the residue 0 over the data followed by its own CRC, most significant
// byte first for the unreflected ones and least significant first for the reflected one.
TEST(ComputeCrcTest, DataFollowedByItsCrcLeavesNoResidue) {
    std::vector<std::uint8_t> crc8 = SampleBytes();
    crc8.push_back(static_cast<std::uint8_t>(CrcOf(CrcAlgorithm::Crc8, crc8)));
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc8, crc8), 0u);

    std::vector<std::uint8_t> xmodem = SampleBytes();
    const std::uint32_t x = CrcOf(CrcAlgorithm::Crc16Xmodem, xmodem);
    xmodem.push_back(static_cast<std::uint8_t>(x >> 8));
    xmodem.push_back(static_cast<std::uint8_t>(x));
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc16Xmodem, xmodem), 0u);

    std::vector<std::uint8_t> arc = SampleBytes();
    const std::uint32_t a = CrcOf(CrcAlgorithm::Crc16Arc, arc);
    arc.push_back(static_cast<std::uint8_t>(a));
    arc.push_back(static_cast<std::uint8_t>(a >> 8));
    EXPECT_EQ(CrcOf(CrcAlgorithm::Crc16Arc, arc), 0u);
}

TEST(ComputeCrcTest, NegatedSumMakesTheBytesSumToZero) {
    std::vector<std::uint8_t> bytes = SampleBytes();
    bytes.push_back(static_cast<std::uint8_t>(CrcOf(CrcAlgorithm::Sum8Neg, bytes)));
    std::uint32_t sum = 0;
    for (const std::uint8_t byte : bytes) {
        sum += byte;
    }
    EXPECT_EQ(sum % 256, 0u);
}

TEST(ComputeCrcTest, EveryAlgorithmSeesEveryByte) {
    const std::vector<std::uint8_t> bytes = SampleBytes();
    for (std::uint8_t a = 0; a < kCrcAlgorithmCount; ++a) {
        const auto algorithm = static_cast<CrcAlgorithm>(a);
        for (const std::size_t position : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
            std::vector<std::uint8_t> changed = bytes;
            changed[position] ^= 0x01;
            EXPECT_NE(CrcOf(algorithm, changed), CrcOf(algorithm, bytes))
                << kCrcAlgorithmNames[a] << " at " << position;
        }
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
