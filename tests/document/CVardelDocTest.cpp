#include "document/CVardelDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "engine/ScriptCodec.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const char kBoard[] =
    "[Config, I2C8, A0]\n"
    "Serial = NUM, 10-13, 0-FFFFFFFF, HEX\n"
    "Mode = ENUM, 14.0-14.1, A, B, C, D\n"
    "[Extra, SPI]\n"
    "Label = STRING, 20-27, ASCIIZ\n";

class DocumentTest : public ::testing::Test {
  protected:
    std::string WriteTemplate(const std::string& name, const std::string& plain = kBoard) {
        return directory.Write(name, EncodeScript(plain)).string();
    }

    // Opens the template in a document that does not save on closing.
    void Open(CVardelDoc& doc, const std::string& path, std::uint8_t fill = 0xFF) {
        doc.SetSavesOnClose(false);
        ASSERT_EQ(doc.OnOpenDocument(path, fill, nullptr), CVardelDoc::OpenResult::Opened);
    }

    std::uint8_t* Data(const CVardelDoc& doc, std::uint32_t unit) {
        return doc.Units()->GetAt(unit)->dataImage;
    }

    test::TempDirectory directory;
    test::RecordingPrompt prompt;
};

TEST_F(DocumentTest, BasePathStopsAtTheFirstDot) {
    EXPECT_EQ(CVardelDoc::MakeBasePath("/dev/my.board.dev"), "/dev/my");
    EXPECT_EQ(CVardelDoc::MakeBasePath("/dev/board"), "/dev/board");
    EXPECT_EQ(CVardelDoc::MakeBasePath("board.dev"), (fs::current_path() / "board").string());
    CVardelDoc doc(prompt);
    Open(doc, WriteTemplate("board"));
    EXPECT_EQ(doc.CompanionPath(), (directory.Path() / "board.cfg").string());
}

// The images hold the fill byte and the fixed byte, the program mask every item's bits; a companion file
// that is none is ignored.
TEST_F(DocumentTest, FreshTemplateHasFillBytesFixedByteAndFullMask) {
    directory.Write("board.cfg", "not a data file at all, but long enough to read a header");
    CVardelDoc doc(prompt);
    Open(doc, WriteTemplate("board.dev"), 0xEE);
    ASSERT_EQ(doc.GetUnitCount(), 2u);
    EXPECT_EQ(doc.LoadError(), 0);
    EXPECT_TRUE(doc.templateChanged);
    EXPECT_EQ(doc.Units()->GetCurrent(), 0u);
    const Unit& config = *doc.Units()->GetAt(0);
    ASSERT_EQ(config.ImageSize(), 0x15u);
    Bytes image(0x15, 0xEE);
    Bytes mask(0x15, 0x00);
    image[0] = 0xA0;
    mask[0] = mask[0x10] = mask[0x11] = mask[0x12] = mask[0x13] = 0xFF;
    mask[0x14] = 0x03;
    EXPECT_EQ(Bytes(config.dataImage, config.dataImage + 0x15), image);
    EXPECT_EQ(Bytes(config.programMask, config.programMask + 0x15), mask);
    EXPECT_EQ(doc.Units()->GetAt(1)->ImageSize(), 8u);
    EXPECT_TRUE(prompt.boxes.empty());
}

// Closing saves the values and the current unit; the next open reads them back by unit name: the records
// of units that are gone are skipped, new units keep the fill byte and a current unit that is gone gives
// the first one.
TEST_F(DocumentTest, ValuesAndCurrentUnitSurviveAReopen) {
    const std::string path = WriteTemplate("board.dev");
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        Data(doc, 0)[0x10] = 0x12;
        Data(doc, 1)[0] = 'H';
        doc.Units()->SetCurrent(1);
    }
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
        EXPECT_EQ(doc.Units()->GetCurrent(), 1u);
        EXPECT_EQ(Data(doc, 0)[0x10], 0x12);
        EXPECT_EQ(Data(doc, 0)[0x11], 0xFF);
        EXPECT_EQ(Data(doc, 1)[0], 'H');
        doc.Units()->SetCurrent(0);
    }
    WriteTemplate("board.dev",
                  "[Other]\nx = NUM, 0, 0-FF, HEX\n[Extra, SPI]\nLabel = STRING, 20-27, ASCIIZ\n");
    CVardelDoc changed(prompt);
    Open(changed, path, 0x5A);
    EXPECT_EQ(Data(changed, 0)[0], 0x5A);
    EXPECT_EQ(Data(changed, 1)[0], 'H');
    EXPECT_EQ(changed.Units()->GetCurrent(), 0u);
    EXPECT_TRUE(prompt.Errors().empty());
}

// A template that does not open, parse or fit leaves the one before open, and saves nothing of its own.
TEST_F(DocumentTest, FailedOpenKeepsThePreviousTemplate) {
    const std::string broken = WriteTemplate("b.dev", "[B]\nx = NUM, 10, 0-1\n");
    const std::string colliding =
        WriteTemplate("c.dev", "[C]\nx = NUM, 10, 0-FF, HEX\ny = BIT, 10.3, off, on\n");
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(WriteTemplate("board.dev"), 0xFF, nullptr),
                  CVardelDoc::OpenResult::Opened);
        EXPECT_EQ(doc.OnOpenDocument(broken, 0xFF, nullptr), CVardelDoc::OpenResult::ParseFailed);
        EXPECT_EQ(doc.LoadError(), 6);
        EXPECT_EQ(doc.OnOpenDocument(colliding, 0xFF, nullptr), CVardelDoc::OpenResult::Collision);
        EXPECT_EQ(doc.LoadError(), 10);
        EXPECT_EQ(doc.OnOpenDocument((directory.Path() / "missing.dev").string(), 0xFF, nullptr),
                  CVardelDoc::OpenResult::CannotOpen);
        EXPECT_STREQ(doc.Units()->GetAt(0)->name, "Config");
        Data(doc, 0)[0x10] = 0x78;
    }
    EXPECT_EQ(prompt.Errors(),
              (std::vector<std::string>{"Template Script Error in file " + broken +
                                            ":\nTEMPLATE_ENTRY invalid argument number (at line 2)",
                                        "ERROR: Template memory collision.\nC -> y (type as BIT)"}));
    EXPECT_EQ(test::FileNamesIn(directory.Path()),
              (std::vector<std::string>{"b.dev", "board.cfg", "board.dev", "c.dev"}));
    CVardelDoc doc(prompt);
    Open(doc, (directory.Path() / "board.dev").string());
    EXPECT_EQ(Data(doc, 0)[0x10], 0x78);
}

// The collision text names the unit and the item, "..." for an item without a name.
TEST_F(DocumentTest, CollisionsNameTheUnitAndItem) {
    const std::pair<const char*, const char*> cases[] = {
        {"[F, 55]\n = NUM, 0, 0-FF, HEX\n", "F -> ... (type as NUM)"},  // on the fixed byte
        {"[W]\nb = BIT, 20-10, off, on\n", "W -> b (type as BIT)"},     // backwards, without a huge image
    };
    for (const auto& [script, report] : cases) {
        CVardelDoc doc(prompt);
        EXPECT_EQ(doc.OnOpenDocument(WriteTemplate("c.dev", script), 0xFF, nullptr),
                  CVardelDoc::OpenResult::Collision);
        ASSERT_FALSE(prompt.Errors().empty());
        EXPECT_EQ(prompt.Errors().back(), std::string("ERROR: Template memory collision.\n") + report);
    }
}

// Closing saves unless told otherwise, and without a template nothing is saved. The companion file is
// replaced as a whole (see WriteFileAtomically): a save that runs into a full disk keeps the earlier one.
TEST_F(DocumentTest, SavesWhenToldToAndAFailedSaveKeepsTheEarlierFile) {
    CVardelDoc empty(prompt);
    EXPECT_FALSE(empty.SaveCompanionFile());
    EXPECT_EQ(empty.GetUnitCount(), 0u);
    const std::string path = WriteTemplate("board.dev");
    {
        CVardelDoc doc(prompt);
        Open(doc, path);
    }
    EXPECT_FALSE(fs::exists(directory.Path() / "board.cfg"));
    CVardelDoc doc(prompt);
    Open(doc, path);
    ASSERT_TRUE(doc.SaveCompanionFile());
    const std::string saved = test::ReadBytes(directory.Path() / "board.cfg");
    Data(doc, 0)[0x10] = 0x99;
    {
        test::FileSizeLimit limit(100);
        EXPECT_FALSE(doc.SaveCompanionFile());
    }
    EXPECT_EQ(test::ReadBytes(directory.Path() / "board.cfg"), saved);
    EXPECT_EQ(test::FileNamesIn(directory.Path()), (std::vector<std::string>{"board.cfg", "board.dev"}));
}

}  // namespace
}  // namespace tessaly
