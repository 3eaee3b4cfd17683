// The script's lowest level: the stored form of entry bodies, lines, fields, keywords and numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/KeywordTable.h"
#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"
#include "engine/ScriptFields.h"
#include "engine/ScriptNumbers.h"
#include "engine/ScriptReader.h"

namespace tessaly {
namespace {

// Plain text and the template file it stands for, both ways: only bodies are encoded, their blanks and
// text after a second "=" are kept, and bytes that would move a body's bounds are escaped.
TEST(ScriptCodecTest, EncodesOnlyBodiesAndEscapesWhatWouldMoveTheirBounds) {
    EXPECT_EQ(EncodeBody("B "), std::string("\x24\x02"));
    EXPECT_EQ(DecodeBody(std::string("\x24\x02")), "B ");
    const std::pair<std::string, std::string> cases[] = {
        {"[Config, I2C8, A0]\nSpeed = NUM, 11-12\n",
         "[Config, I2C8, A0]\r\nSpeed = " + EncodeBody("NUM, 11-12") + "\r\n"},
        {"a =  BIT, 0 \t= note", "a =  " + EncodeBody("BIT, 0") + " \t= note"},
        {"x = \\x20A\\x3DB\\\\\n", "x = " + EncodeBody(" A=B\\") + "\r\n"},
        {"x = a\\x0Db\\x0A\n", "x = " + EncodeBody("a\rb\n") + "\r\n"},
        {"x = \\x20\\x20", "x = " + EncodeBody("  ")},
    };
    for (const auto& [plain, stored] : cases) {
        EXPECT_EQ(EncodeScript(plain), stored);
        EXPECT_EQ(DecodeScript(stored), plain);
    }
    EXPECT_EQ(EncodeScript("[A]\r\nx = BIT\r\n"), EncodeScript("[A]\nx = BIT\n"));
    EXPECT_EQ(EncodeScript("x = ENUM, 0.0, C:\\dir, \\q"), "x = " + EncodeBody("ENUM, 0.0, C:\\dir, \\q"));
    // A body that would read as a title falls back to hexadecimal escapes.
    const std::string title = "[x = " + EncodeBody("]");
    EXPECT_EQ(DecodeScript(title).find('['), std::string::npos);
    EXPECT_EQ(EncodeScript(DecodeScript(title)), title);
}

std::vector<std::string> AllLines(const std::string& contents) {
    MemoryInput input(contents, "t.dev");
    ScriptReader reader(input);
    std::vector<std::string> lines;
    std::string_view line;
    while (!reader.EndOfInput() && reader.ReadLine(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

// Lines end with CR LF only; a line of 511 characters or more, or a NUL byte, ends the reading.
TEST(ScriptReaderTest, CutsTheTextIntoCrLfLines) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"[A]\r\nx=y", {"[A]", "x=y"}},
        {"[A]\r\nx=y\r\n", {"[A]", "x=y"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\rb\nc\r\nd", {"a\rb\nc", "d"}},
        {std::string(510, 'b') + "\r\nnext", {std::string(510, 'b'), "next"}},
        {std::string(511, 'a') + "\r\nnext\r\n", {std::string(511, 'a') + "\r"}},
        {std::string("ab\0c\r\nnext", 10), {"ab"}},
    };
    for (const auto& [contents, lines] : cases) {
        EXPECT_EQ(AllLines(contents), lines) << contents.substr(0, 12);
    }
}

TEST(ScriptFieldsTest, CountAndGetTrimmedFields) {
    EXPECT_EQ(CountFields("A, B ,C", ','), 3);
    EXPECT_EQ(CountFields("", ','), 1);
    EXPECT_EQ(GetField("A, B ,C", ',', 1), "B");
    EXPECT_EQ(GetField("A", ',', 3), "");
    EXPECT_EQ(GetField("a,,b", ',', 1), "");
    EXPECT_EQ(GetField(" \t\v\f\r\nx y\n", ',', 0), "x y");
    EXPECT_EQ(GetField("a,b", ',', -1), "");
}

// A keyword is found ignoring ASCII case, by its position within its own class only.
TEST(KeywordTest, LookupIsCaseInsensitiveWithinOneClass) {
    EXPECT_EQ(FindKeyword("bendian", kByteOrderKeywords), 1);
    EXPECT_EQ(FindKeyword("HEX", kBaseKeywords), 2);
    EXPECT_EQ(FindKeyword("HEX", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("Crc", kItemKeywords), 9);
    EXPECT_EQ(FindKeyword("", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("BITS", kItemKeywords), -1);
    EXPECT_EQ(FindKeyword("COPY", 22, 20), -1);
    EXPECT_EQ(ItemKindKeyword(static_cast<unsigned>(ItemKind::Crc)), "CRC");
    EXPECT_EQ(ItemKindKeyword(10), "");
}

// Digits of the radix only, wrapping at 32 bits, an empty text is 0; a scale reads as C's "%f" does.
TEST(NumberTest, NumbersAndScales) {
    const struct {
        const char* text;
        Radix radix;
        bool parses;
        std::uint32_t value;
    } numbers[] = {
        {"", Radix::Hexadecimal, true, 0},       {"fF", Radix::Hexadecimal, true, 0xFF},
        {"0x10", Radix::Hexadecimal, false, 0},  {"1 0", Radix::Hexadecimal, false, 0},
        {"-1", Radix::Decimal, false, 0},        {"1A", Radix::Decimal, false, 0},
        {"255", Radix::Decimal, true, 255},      {"123456789", Radix::Hexadecimal, true, 0x23456789},
        {"4294967296", Radix::Decimal, true, 0},
    };
    for (const auto& n : numbers) {
        std::uint32_t value = 99;
        EXPECT_EQ(ParseNumber(n.text, n.radix, value), n.parses) << n.text;
        EXPECT_EQ(value, n.parses ? n.value : 99u) << n.text;
    }
    const std::pair<const char*, float> scales[] = {
        {"2.5x", 2.5f}, {"-1", -1.0f}, {"1e-1", 0.1f}, {".5", 0.5f}};
    for (const auto& [text, expected] : scales) {
        float scale = 0;
        ASSERT_TRUE(ParseScale(text, scale)) << text;
        EXPECT_FLOAT_EQ(scale, expected) << text;
    }
    float scale = 0;
    EXPECT_TRUE(ParseScale("1e99", scale) && std::isinf(scale));
    EXPECT_FALSE(ParseScale("x", scale));
    EXPECT_FALSE(ParseScale("", scale));
}

// address[.bit][-address[.bit]] in hexadecimal; a bit number keeps its low four bits.
TEST(LocationTest, ReadsAddressesAndBits) {
    const struct {
        const char* text;
        std::uint16_t start;
        std::uint16_t end;
        std::uint8_t firstBit;
        std::uint8_t lastBit;
    } cases[] = {
        {"10", 0x10, 0x10, 0, 7},        {"10.3", 0x10, 0x10, 3, 3},      {"10-13", 0x10, 0x13, 0, 7},
        {"10.4-11.2", 0x10, 0x11, 4, 2}, {"10.4-11", 0x10, 0x11, 4, 7},   {"10-11.2", 0x10, 0x11, 0, 2},
        {"20-10", 0x20, 0x10, 0, 7},     {"1FFFF", 0xFFFF, 0xFFFF, 0, 7}, {"", 0, 0, 0, 7},
        {"10.1F", 0x10, 0x10, 0xF, 0xF}, {"10.1.2", 0x10, 0x10, 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Location location;
        BitRange bits = 0;
        ASSERT_TRUE(ParseLocation(c.text, location, &bits));
        EXPECT_EQ(location.start, c.start);
        EXPECT_EQ(location.end, c.end);
        EXPECT_EQ(FirstBit(bits), c.firstBit);
        EXPECT_EQ(LastBit(bits), c.lastBit);
    }
    Location location;
    BitRange bits = 0;
    EXPECT_FALSE(ParseLocation("10.3", location, nullptr));
    EXPECT_FALSE(ParseLocation("10-11.2", location, nullptr));
    for (const char* malformed : {"1-2-3", "G", "10.x", "10-y", "10-11.z"}) {
        EXPECT_FALSE(ParseLocation(malformed, location, &bits)) << malformed;
    }
}

TEST(RangeTest, NeedsExactlyTwoHexadecimalNumbers) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    EXPECT_TRUE(ParseRange("0-FFFFFFFF", low, high));
    EXPECT_EQ(high, 0xFFFFFFFFu);
    EXPECT_TRUE(ParseRange("20-10", low, high));
    EXPECT_EQ(low, 0x20u);
    EXPECT_EQ(high, 0x10u);
    for (const char* malformed : {"10", "1-2-3", "1.0-2"}) {
        EXPECT_FALSE(ParseRange(malformed, low, high)) << malformed;
    }
}

}  // namespace
}  // namespace tessaly
