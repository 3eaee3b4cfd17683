// The sample templates ship with a companion file of values, so that a new user can program a chip at once:
// copied anywhere together, the template finds its companion and every enabled item holds a valid value.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "document/CVardelDoc.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ExampleValuesTest : public ::testing::TestWithParam<const char*> {
  protected:
    // The template and its companion copied as scripts/run.sh copies them; returns the template's copy.
    std::string CopyExample() const {
        const fs::path source = test::ExamplePath(GetParam());
        const fs::path companion = fs::path(CVardelDoc::CompanionPathOf(CVardelDoc::MakeBasePath(source)));
        fs::copy_file(source, directory.Path() / source.filename());
        fs::copy_file(companion, directory.Path() / companion.filename());
        return (directory.Path() / source.filename()).string();
    }

    test::TempDirectory directory;
};

TEST_P(ExampleValuesTest, EveryEnabledItemOfTheCopiedExampleHoldsAValidValue) {
    test::RecordingPrompt prompt;
    CVardelDoc doc(prompt);
    doc.SetSavesOnClose(false);
    ASSERT_EQ(doc.OnOpenDocument(CopyExample(), 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_TRUE(prompt.Errors().empty());
    for (std::uint32_t u = 0; u < doc.GetUnitCount(); ++u) {
        const Unit& unit = *doc.Units()->GetAt(u);
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            const TemplateItem* item = unit.GetItem(i);
            if (!unit.IsListedItem(i) || item->kind == ItemKind::Title || item->enabled == 0) {
                continue;
            }
            std::string text;
            ASSERT_TRUE(unit.GetValueText(i, text)) << item->name;
            EXPECT_EQ(unit.ValidateValueText(i, text), ValueCheck::Valid) << item->name << " = " << text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleValuesTest,
                         ::testing::Values("board-24c02.dev", "ddr3-spd.dev", "edid-1.3.dev", "sfp-a0.dev",
                                           "at24-board-id.dev"));

// An example's bytes, with its values and derived fields, against the published layout of its format; the
// integrity checks are computed here, independently of the engine.
struct PublishedLayout {
    const char* example;
    std::uint32_t size;
    std::vector<std::pair<std::uint32_t, std::string>> bytes;  // address, the bytes there
    bool (*integrity)(const std::uint8_t* image);
};

std::uint8_t Sum8(const std::uint8_t* data, int count) {
    return static_cast<std::uint8_t>(std::accumulate(data, data + count, 0u));
}

// The CRC-32 of IEEE 802.3 and zlib, bit by bit, least significant bit first.
std::uint32_t Crc32(const std::uint8_t* data, int count) {
    std::uint32_t crc = ~0u;
    for (int i = 0; i < count * 8; ++i) {
        crc = (crc >> 1) ^ (0xEDB88320u & (0u - ((crc ^ (data[i / 8] >> (i % 8))) & 1u)));
    }
    return ~crc;
}

const PublishedLayout kLayouts[] = {
    // VESA E-EDID 1.3: the fixed header, version 1.3, a 1920x1080 detailed timing at byte 54 and a monitor
    // name descriptor (tag FC) at 72; the 128 bytes sum to 0 modulo 256.
    {"edid-1.3.dev",
     128,
     {{0, "\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00"s},
      {18, "\x01\x03"},
      {54, "\x02\x3A\x80\x18\x71\x38\x2D\x40"},
      {72, "\0\0\0\xFC\0Tessaly T24"s}},
     [](const std::uint8_t* b) { return Sum8(b, 128) == 0; }},
    // SFF-8472 A0h: identifier 03 (SFP), connector 07 (LC), the vendor name at 20, 850 nm big-endian at 60;
    // CC_BASE at 63 is the low byte of the sum of bytes 0-62, CC_EXT at 95 that of bytes 64-94.
    {"sfp-a0.dev",
     96,
     {{0, "\x03\x04\x07"}, {20, "TESSALY OPTICS"}, {60, "\x03\x52"}},
     [](const std::uint8_t* b) { return b[63] == Sum8(b, 63) && b[95] == Sum8(b + 64, 31); }},
    // The board ID block: magic BRDI, version 1, length 64 big-endian, the first MAC address at 48, and the
    // CRC-32 of bytes 0-59 little-endian at 60.
    {"at24-board-id.dev",
     64,
     {{0, "BRDI\x01\x00\x00\x40"s}, {48, "\x2C\xCF\x67\xA0\x12\x34"}},
     [](const std::uint8_t* b) {
         return Crc32(b, 60) == (b[60] | b[61] << 8 | b[62] << 16 | std::uint32_t{b[63]} << 24);
     }},
};

class PublishedLayoutTest : public ::testing::TestWithParam<PublishedLayout> {};

TEST_P(PublishedLayoutTest, ExampleBytesFollowThePublishedLayout) {
    const PublishedLayout& layout = GetParam();
    test::RecordingPrompt prompt;
    CVardelDoc doc(prompt);
    doc.SetSavesOnClose(false);
    ASSERT_EQ(doc.OnOpenDocument(test::ExamplePath(layout.example).string(), 0xFF, nullptr),
              CVardelDoc::OpenResult::Opened);
    Unit& unit = *doc.Units()->GetAt(0);
    ASSERT_EQ(unit.ImageSize(), layout.size);
    unit.dataImage[12] ^= 0x01;  // a byte every check covers: the check fields must follow it
    unit.PrepareDerivedFields();
    const std::string image(reinterpret_cast<const char*>(unit.dataImage), unit.ImageSize());
    for (const auto& [address, bytes] : layout.bytes) {
        EXPECT_EQ(image.substr(address, bytes.size()), bytes) << layout.example << " at " << address;
    }
    EXPECT_TRUE(layout.integrity(unit.dataImage)) << layout.example;
}

INSTANTIATE_TEST_SUITE_P(Examples, PublishedLayoutTest, ::testing::ValuesIn(kLayouts));

}  // namespace
}  // namespace tessaly
