#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;

class ExampleTemplatesTest : public ::testing::TestWithParam<const char*> {};

// Every example loads without collisions; on a blank image every listed item but a title shows a value,
// and no other item does; the derived fields stay inside the images.
TEST_P(ExampleTemplatesTest, LoadsShowsEveryValueAndPreparesInsideItsImages) {
    const std::string script = test::ExampleScript(GetParam());
    ASSERT_FALSE(script.empty()) << GetParam();
    ImagedTemplate t = test::ImageScript(script, 0x00);
    ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    for (std::uint32_t u = 0; u < t.parsed.units->count; ++u) {
        Unit& unit = t.UnitAt(u);
        EXPECT_EQ(unit.CheckCollisions(), kNoItem) << unit.name;
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            std::string text;
            const bool shows = unit.GetValueText(i, text);
            EXPECT_EQ(unit.IsListedItem(i), shows || unit.GetItem(i)->kind == ItemKind::Title) << i;
        }
        unit.PrepareDerivedFields();
    }
    EXPECT_TRUE(t.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTemplatesTest,
                         ::testing::Values("board-24c02.dev", "ddr3-spd.dev", "edid-1.3.dev", "sfp-a0.dev",
                                           "at24-board-id.dev"));

// The SPD CRC as the JEDEC DDR3 SPD document writes it out, with an unsigned accumulator so that the bits
// shifted past 16 wrap instead of overflowing.
std::uint16_t JedecSpdCrc(const std::uint8_t* bytes, int count) {
    unsigned crc = 0;
    for (int i = 0; i < count; ++i) {
        crc = crc ^ (static_cast<unsigned>(bytes[i]) << 8);
        for (int bit = 0; bit < 8; ++bit) {
            if (crc & 0x8000) {
                crc = (crc << 1) ^ 0x1021;
            } else {
                crc = crc << 1;
            }
        }
    }
    return static_cast<std::uint16_t>(crc & 0xFFFF);
}

// The DDR3 serial presence detect example, filled as a DDR3-1333 unbuffered 2 GiB module: its fields land
// in the bytes the JEDEC layout gives them, and its CRC field holds what the JEDEC document's own procedure
// gives over bytes 0..116 (computed here independently of the engine), little-endian in bytes 126..127.
TEST(Ddr3SpdTemplateTest, FieldsAndCrcFollowTheJedecLayout) {
    ImagedTemplate t = test::ImageScript(test::ExampleScript("ddr3-spd.dev"));
    ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    Unit& unit = t.UnitAt(0);
    ASSERT_EQ(unit.ImageSize(), 128u);
    const auto set = [&unit](std::string_view name, std::string_view value) {
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            if (unit.GetItem(i)->name != nullptr && name == unit.GetItem(i)->name) {
                EXPECT_TRUE(unit.SetValueText(i, value)) << name << " = " << value;
                unit.PrepareDerivedFields();
                return;
            }
        }
        ADD_FAILURE() << "no item " << name;
    };
    const std::pair<const char*, const char*> values[] = {
        {"SPD bytes used", "176"},
        {"SPD bytes total", "256"},
        {"Die density", "2 Gbit"},
        {"Module manufacturer (JEP106 bank and code)", "80CE"},
    };
    for (const auto& [name, value] : values) {
        set(name, value);
    }
    const std::pair<std::uint32_t, std::uint8_t> bytes[] = {{0, 0x92}, {4, 0x03}, {117, 0x80}, {118, 0xCE}};
    for (const auto& [address, value] : bytes) {
        EXPECT_EQ(t.Data(address), value) << "byte " << address;
    }
    const auto stored = [&t] { return static_cast<std::uint16_t>(t.Data(126) | t.Data(127) << 8); };
    const auto jedec = [&t] { return JedecSpdCrc(&t.Data(0), 117); };
    EXPECT_EQ(stored(), jedec());
    const std::uint16_t before = stored();
    set("Module manufacturer (JEP106 bank and code)", "0198");
    EXPECT_EQ(stored(), before) << "bytes 117 on are not covered";
    set("tRC min fine correction", "F5");
    EXPECT_NE(stored(), before);
    EXPECT_EQ(stored(), jedec());
    t.Data(116) ^= 0x01;
    unit.PrepareDerivedFields();
    EXPECT_EQ(stored(), jedec()) << "byte 116 is covered";
}

}  // namespace
}  // namespace tessaly
