#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ScriptedPrompt.h"
#include "document/CVardelDoc.h"
#include "document/DataFile.h"
#include "engine/ScriptCodec.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::ScriptedPrompt;

class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory =
            fs::temp_directory_path() / ("tessaly-doc-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string WriteTemplate(const std::string& name, const std::string& plain) {
        const fs::path path = directory / name;
        std::ofstream(path, std::ios::binary) << EncodeScript(plain);
        return path.string();
    }

    static std::vector<std::uint8_t> FileBytes(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path directory;
    ScriptedPrompt prompt;
};

const char kBoard[] =
    "[Config, I2C8, A0]\n"
    "Serial = NUM, 10-13, 0-FFFFFFFF, HEX\n"
    "Mode = ENUM, 14.0-14.1, A, B, C, D\n"
    "[Extra, SPI]\n"
    "Label = STRING, 20-27, ASCIIZ\n";

TEST_F(DocumentTest, BasePathStopsAtTheFirstDot) {
    EXPECT_EQ(CVardelDoc::MakeBasePath("/dev/my.board.dev"), "/dev/my");
    EXPECT_EQ(CVardelDoc::MakeBasePath("/dev/eeprom.dev"), "/dev/eeprom");
    EXPECT_EQ(CVardelDoc::MakeBasePath("/dev/board"), "/dev/board");
    EXPECT_EQ(CVardelDoc::MakeBasePath("board.dev"), (fs::current_path() / "board").string());
}

TEST_F(DocumentTest, FreshTemplateHasFillBytesFixedByteAndFullMask) {
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(WriteTemplate("board.dev", kBoard), 0xFF, nullptr),
              CVardelDoc::OpenResult::Opened);
    ASSERT_EQ(doc.GetUnitCount(), 2u);
    EXPECT_EQ(doc.LoadError(), 0);
    EXPECT_TRUE(doc.templateChanged);
    EXPECT_EQ(doc.Units()->GetCurrent(), 0u);
    const Unit& config = *doc.Units()->GetAt(0);
    ASSERT_EQ(config.ImageSize(), 0x15u);
    EXPECT_EQ(config.dataImage[0], 0xA0);
    EXPECT_EQ(config.dataImage[0x10], 0xFF);
    EXPECT_EQ(config.programMask[0], 0xFF);
    EXPECT_EQ(config.programMask[0x13], 0xFF);
    EXPECT_EQ(config.programMask[0x14], 0x03);
    EXPECT_EQ(config.programMask[0x05], 0x00);
    EXPECT_EQ(doc.Units()->GetAt(1)->ImageSize(), 8u);
}

TEST_F(DocumentTest, ValuesAndCurrentUnitSurviveAReopen) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        doc.Units()->GetAt(0)->dataImage[0x10] = 0x12;
        doc.Units()->GetAt(1)->dataImage[0] = 'H';
        doc.Units()->SetCurrent(1);
    }
    EXPECT_TRUE(fs::exists(directory / "board.cfg"));
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_EQ(doc.Units()->GetCurrent(), 1u);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0x10], 0x12);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0x11], 0xFF);
    EXPECT_EQ(doc.Units()->GetAt(1)->dataImage[0], 'H');
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(DocumentTest, RecordsOfRemovedUnitsAreIgnoredAndNewUnitsKeepTheFill) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
        doc.Units()->GetAt(1)->dataImage[0] = 'H';
    }
    WriteTemplate("board.dev",
                  "[Other]\nx = NUM, 0, 0-FF, HEX\n[Extra, SPI]\nLabel = STRING, 20-27, ASCIIZ\n");
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(path, 0x5A, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0], 0x5A);
    EXPECT_EQ(doc.Units()->GetAt(1)->dataImage[0], 'H');
}

TEST_F(DocumentTest, TemplateWithoutExtensionUsesItsNameForTheCompanion) {
    const std::string path = WriteTemplate("board", kBoard);
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        EXPECT_EQ(doc.CompanionPath(), (directory / "board.cfg").string());
    }
    EXPECT_TRUE(fs::exists(directory / "board.cfg"));
}

TEST_F(DocumentTest, FailedOpenKeepsThePreviousTemplateAndItsCompanion) {
    const std::string a = WriteTemplate("a.dev", kBoard);
    const std::string broken = WriteTemplate("b.dev", "[B]\nx = NUM, 10, 0-1\n");
    const std::string colliding =
        WriteTemplate("c.dev", "[C]\nx = NUM, 10, 0-FF, HEX\ny = BIT, 10.3, off, on\n");
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(a, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        doc.Units()->GetAt(0)->dataImage[0x10] = 0x77;

        EXPECT_EQ(doc.OnOpenDocument(broken, 0xFF, nullptr), CVardelDoc::OpenResult::ParseFailed);
        EXPECT_TRUE(fs::exists(directory / "a.cfg"));
        ASSERT_EQ(prompt.errors.size(), 1u);
        EXPECT_EQ(prompt.errors[0], "Template Script Error in file " + broken +
                                        ":\nTEMPLATE_ENTRY invalid argument number (at line 2)");
        EXPECT_EQ(doc.LoadError(), 6);

        EXPECT_EQ(doc.OnOpenDocument(colliding, 0xFF, nullptr), CVardelDoc::OpenResult::Collision);
        ASSERT_EQ(prompt.errors.size(), 2u);
        EXPECT_EQ(prompt.errors[1], "ERROR: Template memory collision.\nC -> y (type as BIT)");
        EXPECT_EQ(doc.LoadError(), 10);

        EXPECT_EQ(doc.OnOpenDocument((directory / "missing.dev").string(), 0xFF, nullptr),
                  CVardelDoc::OpenResult::CannotOpen);
        EXPECT_STREQ(doc.Units()->GetAt(0)->name, "Config");
        doc.Units()->GetAt(0)->dataImage[0x10] = 0x78;
    }
    EXPECT_FALSE(fs::exists(directory / "b.cfg"));
    EXPECT_FALSE(fs::exists(directory / "c.cfg"));
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(a, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0x10], 0x78);
}

TEST_F(DocumentTest, CollisionWithTheFixedByteAndUnnamedItems) {
    CVardelDoc doc(prompt);
    EXPECT_EQ(doc.OnOpenDocument(WriteTemplate("f.dev", "[F, 55]\n = NUM, 0, 0-FF, HEX\n"), 0xFF, nullptr),
              CVardelDoc::OpenResult::Collision);
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_EQ(prompt.errors[0], "ERROR: Template memory collision.\nF -> ... (type as NUM)");
}

TEST_F(DocumentTest, BackwardsLocationIsReportedWithoutAHugeImage) {
    CVardelDoc doc(prompt);
    EXPECT_EQ(doc.OnOpenDocument(WriteTemplate("w.dev", "[W]\nb = BIT, 20-10, off, on\n"), 0xFF, nullptr),
              CVardelDoc::OpenResult::Collision);
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_EQ(prompt.errors[0], "ERROR: Template memory collision.\nW -> b (type as BIT)");
}

TEST_F(DocumentTest, CompanionFileWithABadHeaderIsIgnored) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    std::ofstream(directory / "board.cfg", std::ios::binary)
        << "not a data file at all, but long enough to read a header";
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(path, 0x33, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0x10], 0x33);
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(DocumentTest, DestructionWithSavingTurnedOffLeavesTheCompanionFileAlone) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x11, nullptr), CVardelDoc::OpenResult::Opened);
        doc.SetSavesOnClose(false);
    }
    EXPECT_FALSE(fs::exists(directory / "board.cfg"));
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x11, nullptr), CVardelDoc::OpenResult::Opened);
    }
    const std::vector<std::uint8_t> saved = FileBytes(directory / "board.cfg");
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x11, nullptr), CVardelDoc::OpenResult::Opened);
        doc.Units()->GetAt(0)->dataImage[0x10] = 0x99;
        doc.SetSavesOnClose(false);
    }
    EXPECT_EQ(FileBytes(directory / "board.cfg"), saved);
}

TEST_F(DocumentTest, NoTemplateSavesNothing) {
    CVardelDoc doc(prompt);
    EXPECT_FALSE(doc.SaveCompanionFile());
    EXPECT_EQ(doc.GetUnitCount(), 0u);
}

// A save that runs into a full disk (a file size limit, in a child process) keeps the values saved before.
TEST_F(DocumentTest, FailedSaveKeepsTheEarlierCompanionFile) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    {
        CVardelDoc doc(prompt);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x11, nullptr), CVardelDoc::OpenResult::Opened);
    }
    const std::vector<std::uint8_t> saved = FileBytes(directory / "board.cfg");
    ASSERT_FALSE(saved.empty());

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        ScriptedPrompt quiet;
        CVardelDoc doc(quiet);
        if (doc.OnOpenDocument(path, 0x11, nullptr) != CVardelDoc::OpenResult::Opened) {
            _exit(2);
        }
        doc.Units()->GetAt(0)->dataImage[0x10] = 0x99;
        _exit(doc.SaveCompanionFile() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save should have failed";
    EXPECT_EQ(FileBytes(directory / "board.cfg"), saved);
    for (const auto& entry : fs::directory_iterator(directory)) {
        EXPECT_TRUE(entry.path().extension() == ".dev" || entry.path().extension() == ".cfg") << entry.path();
    }
}

}  // namespace
}  // namespace tessaly
