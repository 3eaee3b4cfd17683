#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/ScriptCodec.h"

namespace tessaly {
namespace {

TEST(BodyCodecTest, ExchangesTheHalvesOfEveryByte) {
    EXPECT_EQ(EncodeBody("B "), std::string("\x24\x02"));
    EXPECT_EQ(DecodeBody(std::string("\x24\x02")), "B ");
    EXPECT_EQ(EncodeBody(std::string("\xF0\x0F", 2)), std::string("\x0F\xF0", 2));
}

TEST(ScriptCodecTest, EncodesOnlyBodiesAndUsesCrLf) {
    const std::string script = EncodeScript("[Config, I2C8, A0]\nSpeed = NUM, 11-12\n");
    EXPECT_EQ(script, "[Config, I2C8, A0]\r\nSpeed = " + EncodeBody("NUM, 11-12") + "\r\n");
}

TEST(ScriptCodecTest, KeepsWhiteSpaceAroundTheBodyAndTextAfterASecondEquals) {
    const std::string script = EncodeScript("a =  BIT, 0 \t= note");
    EXPECT_EQ(script, "a =  " + EncodeBody("BIT, 0") + " \t= note");
    EXPECT_EQ(DecodeScript(script), "a =  BIT, 0 \t= note");
}

TEST(ScriptCodecTest, AcceptsCrLfPlainText) {
    EXPECT_EQ(EncodeScript("[A]\r\nx = BIT\r\n"), EncodeScript("[A]\nx = BIT\n"));
}

TEST(ScriptCodecTest, HandWrittenBackslashStandsForItself) {
    EXPECT_EQ(EncodeScript("x = ENUM, 0.0, C:\\dir, \\q"), "x = " + EncodeBody("ENUM, 0.0, C:\\dir, \\q"));
}

TEST(ScriptCodecTest, EscapesWhatWouldMoveTheBodyBoundaries) {
    // A stored body whose plain form holds "=", a backslash and a leading blank.
    const std::string stored = "x = " + EncodeBody(" A=B\\") + "\r\n";
    const std::string plain = DecodeScript(stored);
    EXPECT_EQ(plain, "x = \\x20A\\x3DB\\\\\n");
    EXPECT_EQ(EncodeScript(plain), stored);
}

TEST(ScriptCodecTest, ABodyThatWouldReadAsATitleFallsBackToHex) {
    const std::string stored = "[x = " + EncodeBody("]");
    const std::string plain = DecodeScript(stored);
    EXPECT_EQ(plain.find('['), std::string::npos);
    EXPECT_EQ(EncodeScript(plain), stored);
}

TEST(ScriptCodecTest, RoundTripIsByteExactForArbitraryBytes) {
    std::mt19937 random(20261205);
    // Biased towards the bytes that matter to the line grammar.
    const std::string special =
        std::string("=[],\\\r\n \t\x0D\xD3\x02\x20\xD5\x5Dx", 16) + std::string(1, '\0');
    for (int round = 0; round < 2000; ++round) {
        std::string script;
        const int length = static_cast<int>(random() % 80);
        for (int i = 0; i < length; ++i) {
            script += (random() % 2) ? special[random() % special.size()] : static_cast<char>(random() % 256);
        }
        ASSERT_EQ(EncodeScript(DecodeScript(script)), script) << "round " << round;
    }
}

}  // namespace
}  // namespace tessaly
