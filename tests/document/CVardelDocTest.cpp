#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "RecordingPrompt.h"
#include "document/CVardelDoc.h"
#include "document/DataFile.h"
#include "engine/ScriptCodec.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::RecordingPrompt;
using namespace std::chrono_literals;

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

    // Opens the template and closes it again, which saves its companion file; saved gets that file's bytes.
    void SaveFirstCompanion(const std::string& templatePath, std::vector<std::uint8_t>& saved) {
        {
            CVardelDoc doc(prompt);
            ASSERT_EQ(doc.OnOpenDocument(templatePath, 0x11, nullptr), CVardelDoc::OpenResult::Opened);
        }
        saved = FileBytes(fs::path(templatePath).replace_extension(".cfg"));
        ASSERT_FALSE(saved.empty());
    }

    // A failed save leaves no temporary file behind.
    void ExpectOnlyTemplateAndCompanion() const {
        for (const auto& entry : fs::directory_iterator(directory)) {
            EXPECT_TRUE(entry.path().extension() == ".dev" || entry.path().extension() == ".cfg")
                << entry.path();
        }
    }

    fs::path directory;
    RecordingPrompt prompt;
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
    EXPECT_TRUE(prompt.Errors().empty());
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
        ASSERT_EQ(prompt.Errors().size(), 1u);
        EXPECT_EQ(prompt.Errors()[0], "Template Script Error in file " + broken +
                                          ":\nTEMPLATE_ENTRY invalid argument number (at line 2)");
        EXPECT_EQ(doc.LoadError(), 6);

        EXPECT_EQ(doc.OnOpenDocument(colliding, 0xFF, nullptr), CVardelDoc::OpenResult::Collision);
        ASSERT_EQ(prompt.Errors().size(), 2u);
        EXPECT_EQ(prompt.Errors()[1], "ERROR: Template memory collision.\nC -> y (type as BIT)");
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

TEST_F(DocumentTest, CollisionsNameTheUnitAndItem) {
    const std::pair<const char*, const char*> cases[] = {
        {"[F, 55]\n = NUM, 0, 0-FF, HEX\n", "F -> ... (type as NUM)"},  // with the fixed byte, unnamed
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

TEST_F(DocumentTest, CompanionFileWithABadHeaderIsIgnored) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    std::ofstream(directory / "board.cfg", std::ios::binary)
        << "not a data file at all, but long enough to read a header";
    CVardelDoc doc(prompt);
    ASSERT_EQ(doc.OnOpenDocument(path, 0x33, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0x10], 0x33);
    EXPECT_TRUE(prompt.Errors().empty());
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
    std::vector<std::uint8_t> saved;
    ASSERT_NO_FATAL_FAILURE(SaveFirstCompanion(path, saved));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingPrompt quiet;
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
    ExpectOnlyTemplateAndCompanion();
}

// How a forked child that saves reports back through its exit status.
enum ChildExit : int {
    kChildSaveFailed = 0,
    kChildSaved = 1,
    kChildCannotOpen = 2,
    kChildCannotDropRoot = 3,
    kChildDirectoryWritable = 4,
};

// Takes every write permission off a directory while the object lives.
class ReadOnlyDirectory {
  public:
    explicit ReadOnlyDirectory(fs::path path) : path_(std::move(path)) { ::chmod(path_.c_str(), 0555); }
    ~ReadOnlyDirectory() { ::chmod(path_.c_str(), 0755); }
    ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
    ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

  private:
    fs::path path_;
};

// Root writes into any directory, so a child running as root takes the unprivileged ids of "nobody" first.
bool DropRoot() {
    constexpr uid_t kNobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// In a forked child: opens the template, changes a value and saves it as an ordinary user would.
ChildExit SaveAsAnOrdinaryUser(const std::string& templatePath, const fs::path& directory) {
    if (::geteuid() == 0 && !DropRoot()) {
        return kChildCannotDropRoot;
    }
    if (::access(directory.c_str(), W_OK) == 0) {
        return kChildDirectoryWritable;
    }
    RecordingPrompt quiet;
    CVardelDoc doc(quiet);
    doc.SetSavesOnClose(false);
    if (doc.OnOpenDocument(templatePath, 0x11, nullptr) != CVardelDoc::OpenResult::Opened) {
        return kChildCannotOpen;
    }
    doc.Units()->GetAt(0)->dataImage[0x10] = 0x99;
    return doc.SaveCompanionFile() ? kChildSaved : kChildSaveFailed;
}

TEST_F(DocumentTest, SaveIntoAReadOnlyDirectoryFailsAndKeepsTheEarlierCompanionFile) {
    const std::string path = WriteTemplate("board.dev", kBoard);
    std::vector<std::uint8_t> saved;
    ASSERT_NO_FATAL_FAILURE(SaveFirstCompanion(path, saved));

    int status = 0;
    {
        const ReadOnlyDirectory readOnly(directory);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            _exit(SaveAsAnOrdinaryUser(path, directory));
        }
        ASSERT_EQ(waitpid(child, &status, 0), child);
    }
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kChildCannotDropRoot || WEXITSTATUS(status) == kChildDirectoryWritable) {
        GTEST_SKIP() << "this process cannot give up its right to write into any directory";
    }
    EXPECT_NE(WEXITSTATUS(status), kChildCannotOpen) << "an ordinary user cannot read " << directory;
    EXPECT_EQ(WEXITSTATUS(status), kChildSaveFailed) << "the save should have failed";
    EXPECT_EQ(FileBytes(directory / "board.cfg"), saved);
    ExpectOnlyTemplateAndCompanion();
}

// As many units as a template may have, of 64 KiB each: a save writes 2 MiB, long enough to be caught
// in the middle.
constexpr std::uint32_t kLargeUnits = kUnitListCapacity;

std::string LargeTemplate() {
    std::string text;
    for (std::uint32_t unit = 0; unit < kLargeUnits; ++unit) {
        text += "[Unit" + std::to_string(unit) +
                ", I2C16]\nFirst = NUM, 0, 0-FF, HEX\nLast = NUM, FFFF, 0-FF, HEX\n";
    }
    return text;
}

// Gives unit n's whole image the byte value + n.
void FillImages(const CVardelDoc& doc, std::uint8_t value) {
    for (std::uint32_t i = 0; i < doc.GetUnitCount(); ++i) {
        Unit& unit = *doc.Units()->GetAt(i);
        std::memset(unit.dataImage, static_cast<std::uint8_t>(value + i), unit.ImageSize());
    }
}

constexpr std::uint8_t kOldValues = 0x11;
constexpr std::uint8_t kNewValues = 0xA0;

// In a forked child: saves the new values and the old ones in turn until it is killed. It exits by itself
// only when the template does not open or a save fails.
[[noreturn]] void SaveInTurnsUntilKilled(const std::string& templatePath) {
    RecordingPrompt quiet;
    CVardelDoc doc(quiet);
    doc.SetSavesOnClose(false);
    if (doc.OnOpenDocument(templatePath, 0x00, nullptr) != CVardelDoc::OpenResult::Opened) {
        _exit(kChildCannotOpen);
    }
    for (;;) {
        for (const std::uint8_t value : {kNewValues, kOldValues}) {
            FillImages(doc, value);
            if (!doc.SaveCompanionFile()) {
                _exit(kChildSaveFailed);
            }
        }
    }
}

// Whether process `saver` has a temporary file for the companion file beside it, which WriteFileAtomically
// names ".<file name>.tmp.<process id>.<count>".
bool SaveInProgress(const fs::path& companion, pid_t saver) {
    const std::string prefix = "." + companion.filename().string() + ".tmp." + std::to_string(saver) + ".";
    std::error_code error;
    for (fs::directory_iterator it(companion.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

// Waits up to ten seconds for the saver's temporary file; false when it never showed.
bool WaitForSaveInProgress(const fs::path& companion, pid_t saver) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!SaveInProgress(companion, saver)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// A process killed while it saves leaves the companion file as a save made it: the old values or the new
// ones, whole, and loadable. The kill comes after a range of waits, and then as soon as a temporary file
// shows that a save is under way.
TEST_F(DocumentTest, KilledSaveLeavesAWholeCompanionFile) {
    const std::string path = WriteTemplate("large.dev", LargeTemplate());
    const fs::path companion = directory / "large.cfg";
    std::vector<std::uint8_t> oldFile;
    std::vector<std::uint8_t> newFile;
    {
        CVardelDoc doc(prompt);
        doc.SetSavesOnClose(false);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
        ASSERT_EQ(doc.GetUnitCount(), kLargeUnits);
        FillImages(doc, kNewValues);
        ASSERT_TRUE(doc.SaveCompanionFile());
        newFile = FileBytes(companion);
        FillImages(doc, kOldValues);
        ASSERT_TRUE(doc.SaveCompanionFile());
        oldFile = FileBytes(companion);
    }
    ASSERT_GT(oldFile.size(), 2u << 20);
    ASSERT_NE(oldFile, newFile);

    const std::vector<std::chrono::milliseconds> waits = {0ms, 1ms, 2ms, 5ms, 10ms, 20ms, 50ms, 100ms};
    for (std::size_t round = 0; round < waits.size() + 3; ++round) {
        const bool atTemporaryFile = round >= waits.size();
        SCOPED_TRACE(atTemporaryFile ? "killed during a save"
                                     : "killed after " + std::to_string(waits[round].count()) + " ms");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveInTurnsUntilKilled(path);
        }
        if (atTemporaryFile) {
            EXPECT_TRUE(WaitForSaveInProgress(companion, child));
        } else {
            std::this_thread::sleep_for(waits[round]);
        }
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saving child ended by itself";

        const std::vector<std::uint8_t> left = FileBytes(companion);
        ASSERT_TRUE(left == oldFile || left == newFile) << "a companion file of " << left.size() << " bytes";
        CVardelDoc doc(prompt);
        doc.SetSavesOnClose(false);
        ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
        const std::uint8_t value = left == oldFile ? kOldValues : kNewValues;
        EXPECT_EQ(doc.Units()->GetAt(0)->dataImage[0], value);
        EXPECT_EQ(doc.Units()->GetAt(kLargeUnits - 1)->dataImage[0xFFFF],
                  static_cast<std::uint8_t>(value + kLargeUnits - 1));
    }
    // The temporary files the killed children left behind do not stand in the way of the next save.
    CVardelDoc doc(prompt);
    doc.SetSavesOnClose(false);
    ASSERT_EQ(doc.OnOpenDocument(path, 0x00, nullptr), CVardelDoc::OpenResult::Opened);
    FillImages(doc, kOldValues);
    EXPECT_TRUE(doc.SaveCompanionFile());
    EXPECT_EQ(FileBytes(companion), oldFile);
    EXPECT_TRUE(prompt.Errors().empty());
}

}  // namespace
}  // namespace tessaly
