// The DDR3 serial presence detect example: its CRC field must hold what the JEDEC document's own
// procedure gives over bytes 0..116, computed here independently of the engine.

#include <gtest/gtest.h>

#include <string>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using test::ImagedTemplate;

constexpr std::uint32_t kCrcCoverageEnd = 116;
constexpr std::uint32_t kCrcLow = 126;
constexpr std::uint32_t kCrcHigh = 127;

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

std::uint32_t IndexOf(const Unit& unit, std::string_view name) {
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        const TemplateItem* item = unit.GetItem(i);
        if (item->name != nullptr && name == item->name) {
            return i;
        }
    }
    ADD_FAILURE() << "no item " << name;
    return kNoItem;
}

class Ddr3SpdTemplateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string script = test::ExampleScript("ddr3-spd.dev");
        ASSERT_FALSE(script.empty());
        t = test::ImageScript(script);
        ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
        ASSERT_EQ(t.parsed.units->count, 1u);
        ASSERT_EQ(unit().start, 0u);
        ASSERT_EQ(unit().ImageSize(), 128u);
    }

    Unit& unit() { return t.UnitAt(0); }
    const std::uint8_t* image() { return unit().dataImage; }

    void Set(std::string_view name, std::string_view value) {
        EXPECT_TRUE(unit().SetValueText(IndexOf(unit(), name), value)) << name << " = " << value;
    }

    std::string Get(std::string_view name) {
        std::string text;
        EXPECT_TRUE(unit().GetValueText(IndexOf(unit(), name), text)) << name;
        return text;
    }

    std::uint16_t StoredCrc() {
        return static_cast<std::uint16_t>(image()[kCrcLow] | (image()[kCrcHigh] << 8));
    }
    std::uint16_t ExpectedCrc() { return JedecSpdCrc(image(), kCrcCoverageEnd + 1); }

    // A DDR3-1333 unbuffered 2 GiB module.
    void FillTypicalModule() {
        Set("SPD bytes used", "176");
        Set("SPD bytes total", "256");
        Set("SPD encoding level", "1");
        Set("SPD additions level", "3");
        Set("Module type", "UDIMM");
        Set("Die density", "2 Gbit");
        Set("Banks", "8");
        Set("Column address bits", "10");
        Set("Row address bits", "15");
        Set("Device width", "8 bits");
        Set("Ranks", "2");
        Set("Primary bus width", "64 bits");
        Set("Fine timebase dividend (ps)", "1");
        Set("Fine timebase divisor (ps)", "1");
        Set("Medium timebase dividend (ns)", "1");
        Set("Medium timebase divisor (ns)", "8");
        Set("tCK min (ps)", "1500");
        Set("CL 9 supported", "Yes");
        Set("tAA min (ps)", "13125");
        Set("tRAS min (ps)", "36000");
        Set("tRFC min (ps)", "160000");
        Set("Module manufacturer (JEP106 bank and code)", "80CE");
        Set("Module serial number", "12345678");
    }

    ImagedTemplate t;
};

TEST_F(Ddr3SpdTemplateTest, LoadsWithoutCollisions) {
    EXPECT_EQ(unit().CheckCollisions(), kNoItem);
}

TEST_F(Ddr3SpdTemplateTest, EveryListedValueShowsOnABlankImage) {
    for (std::uint32_t i = 0; i < unit().itemCount; ++i) {
        if (unit().IsListedItem(i) && unit().GetItem(i)->kind != ItemKind::Title) {
            std::string text;
            EXPECT_TRUE(unit().GetValueText(i, text)) << unit().GetItem(i)->name;
        }
    }
}

TEST_F(Ddr3SpdTemplateTest, FieldsLandInTheirJedecBytes) {
    FillTypicalModule();
    unit().PrepareDerivedFields();
    EXPECT_EQ(image()[0], 0x92);
    EXPECT_EQ(image()[1], 0x13);
    EXPECT_EQ(image()[2], 0x0B);
    EXPECT_EQ(image()[3], 0x02);
    EXPECT_EQ(image()[4], 0x03);
    EXPECT_EQ(image()[5], 0x19);
    EXPECT_EQ(image()[7], 0x09);
    EXPECT_EQ(image()[8], 0x03);
    EXPECT_EQ(image()[9], 0x11);
    EXPECT_EQ(image()[12], 0x0C);
    EXPECT_EQ(image()[14], 0x20);
    EXPECT_EQ(image()[16], 0x69);
    EXPECT_EQ(image()[21] & 0x0F, 0x01);
    EXPECT_EQ(image()[22], 0x20);
    EXPECT_EQ(image()[24], 0x00);
    EXPECT_EQ(image()[25], 0x05);
    EXPECT_EQ(image()[117], 0x80);
    EXPECT_EQ(image()[118], 0xCE);
    EXPECT_EQ(image()[122], 0x12);
    EXPECT_EQ(image()[125], 0x78);
    EXPECT_EQ(Get("tCK min (ps)"), "1500");
    EXPECT_EQ(Get("tRAS min (ps)"), "36000");
}

TEST_F(Ddr3SpdTemplateTest, CrcMatchesTheJedecProcedure) {
    FillTypicalModule();
    unit().PrepareDerivedFields();
    EXPECT_EQ(StoredCrc(), ExpectedCrc());
    EXPECT_NE(StoredCrc(), 0);
}

TEST_F(Ddr3SpdTemplateTest, CrcFollowsCoveredBytesOnly) {
    FillTypicalModule();
    unit().PrepareDerivedFields();
    const std::uint16_t before = StoredCrc();

    Set("Module manufacturer (JEP106 bank and code)", "0198");
    unit().PrepareDerivedFields();
    EXPECT_EQ(StoredCrc(), before);

    Set("tRC min fine correction", "F5");
    unit().PrepareDerivedFields();
    EXPECT_NE(StoredCrc(), before);
    EXPECT_EQ(StoredCrc(), ExpectedCrc());

    unit().dataImage[kCrcCoverageEnd] ^= 0x01;
    unit().PrepareDerivedFields();
    EXPECT_EQ(StoredCrc(), ExpectedCrc());
}

TEST_F(Ddr3SpdTemplateTest, CrcFieldIsProgrammedButNotListed) {
    const std::uint32_t crc = IndexOf(unit(), "SPD CRC16 over bytes 0-116");
    EXPECT_FALSE(unit().IsListedItem(crc));
    ASSERT_EQ(unit().CheckCollisions(), kNoItem);
    EXPECT_EQ(t.Mask(kCrcLow), 0xFF);
    EXPECT_EQ(t.Mask(kCrcHigh), 0xFF);
}

}  // namespace
}  // namespace tessaly
