#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "text/ProfileFile.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {
namespace {

class WriteProfileStringTest : public ::testing::Test {
  protected:
    // Writes the file, sets one key and returns the file's bytes afterwards.
    std::string Rewrite(std::string_view before, std::string_view section, std::string_view key,
                        std::string_view value) {
        const auto path = directory_.Write("settings.ini", before);
        EXPECT_TRUE(WriteProfileString(path, section, key, value));
        return test::ReadBytes(path);
    }

    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory_.Path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    test::TempDirectory directory_;
};

// Limits the size of files this process may write, so that a write fails part of the way through.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~ScopedFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        ::signal(SIGXFSZ, previousHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    sighandler_t previousHandler_ = SIG_DFL;
};

TEST_F(WriteProfileStringTest, ReplacesTheValueInPlaceKeepingOtherLines) {
    EXPECT_EQ(Rewrite("; head\r\n[Config]\r\n  Size = 1,2 \r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n", "config",
                      "Size", "3,4"),
              "; head\r\n[Config]\r\nSize=3,4\r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n");
}

TEST_F(WriteProfileStringTest, ReplacesTheLastLineWithoutALineEnd) {
    EXPECT_EQ(Rewrite("[A]\nk=1", "A", "K", "2"), "[A]\nK=2");
}

TEST_F(WriteProfileStringTest, OnlyTheFirstMatchingSectionAndKeyChange) {
    EXPECT_EQ(Rewrite("[A]\nk=1\nk=2\n[a]\nk=3\n", "a", "k", "new"), "[A]\nk=new\nk=2\n[a]\nk=3\n");
}

TEST_F(WriteProfileStringTest, NewKeyGoesAfterTheSectionsLastNonBlankLine) {
    EXPECT_EQ(Rewrite("[A]\nx=1\n; note\n\n  \n[B]\ny=2\n", "A", "k", "v"),
              "[A]\nx=1\n; note\nk=v\n\n  \n[B]\ny=2\n");
}

TEST_F(WriteProfileStringTest, NewKeyInAnEmptySectionFollowsTheHeader) {
    EXPECT_EQ(Rewrite("[A]\n[B]\n", "A", "k", "v"), "[A]\nk=v\n[B]\n");
}

TEST_F(WriteProfileStringTest, NewKeyAtTheEndOfAFileWithoutFinalLineEnd) {
    EXPECT_EQ(Rewrite("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\nk=v\n");
}

TEST_F(WriteProfileStringTest, NewSectionIsAppended) {
    EXPECT_EQ(Rewrite("[A]\nx=1\n", "B", "k", "v"), "[A]\nx=1\n[B]\nk=v\n");
    EXPECT_EQ(Rewrite("[A]\nx=1", "B", "k", "v"), "[A]\nx=1\n[B]\nk=v\n");
}

TEST_F(WriteProfileStringTest, NewLinesFollowTheFilesLineEnd) {
    EXPECT_EQ(Rewrite("[A]\r\nx=1\r\n", "A", "k", "v"), "[A]\r\nx=1\r\nk=v\r\n");
    EXPECT_EQ(Rewrite("[A]\r\nx=1\r\n", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
}

TEST_F(WriteProfileStringTest, CreatesAMissingFile) {
    const auto path = directory_.Path() / "new.ini";
    ASSERT_TRUE(WriteProfileString(path, "Config", "Language", "Deutsch"));
    EXPECT_EQ(test::ReadBytes(path), "[Config]\nLanguage=Deutsch\n");
}

TEST_F(WriteProfileStringTest, ValuesReadBackAsWritten) {
    const auto path = directory_.Path() / "round.ini";
    ASSERT_TRUE(WriteProfileString(path, "MainWindow", "Size", "10,20,300,400"));
    ASSERT_TRUE(WriteProfileString(path, "Config", "Font", "-11,0,0,0,400,0,0,0,204,Arial"));
    ASSERT_TRUE(WriteProfileString(path, "MainWindow", "Size", "1,2,3,4"));
    ASSERT_TRUE(WriteProfileString(path, "Config", "Empty", ""));
    EXPECT_EQ(ReadProfileString(path, "MainWindow", "Size", "", 128), "1,2,3,4");
    EXPECT_EQ(ReadProfileString(path, "Config", "Font", "", 128), "-11,0,0,0,400,0,0,0,204,Arial");
    EXPECT_EQ(ReadProfileString(path, "Config", "Empty", "default", 128), "");
}

TEST_F(WriteProfileStringTest, RefusesNamesAndValuesThatCannotBeWritten) {
    const std::string before = "[A]\nk=1\n";
    const auto path = directory_.Write("settings.ini", before);
    EXPECT_FALSE(WriteProfileString(path, "", "k", "v"));
    EXPECT_FALSE(WriteProfileString(path, " A", "k", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A]B", "k", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A\nB", "k", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", "", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", "k ", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", "a=b", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", "[k", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", ";k", "v"));
    EXPECT_FALSE(WriteProfileString(path, "A", "k", "two\nlines"));
    EXPECT_FALSE(WriteProfileString(path, "A", "k", "cr\r"));
    EXPECT_EQ(test::ReadBytes(path), before);
}

TEST_F(WriteProfileStringTest, RefusesAFileBiggerThanTheReadLimit) {
    std::string big = "[A]\nk=1\n";
    big.append(ProfileFile::kMaxFileBytes + 1 - big.size(), ';');
    const auto path = directory_.Write("big.ini", big);
    EXPECT_FALSE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), big);
}

TEST_F(WriteProfileStringTest, AcceptsAFileOfExactlyTheReadLimit) {
    std::string text = "[A]\nk=1\n";
    text.append(ProfileFile::kMaxFileBytes - text.size(), ';');
    const auto path = directory_.Write("limit.ini", text);
    ASSERT_TRUE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), "[A]\nk=2\n" + text.substr(8));
}

TEST_F(WriteProfileStringTest, FailsUnderAMissingDirectory) {
    const auto missing = directory_.Path() / "missing";
    EXPECT_FALSE(WriteProfileString(missing / "settings.ini", "A", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(WriteProfileStringTest, FailsWhenTheDirectoryIsAFile) {
    const auto blocker = directory_.Write("blocker", "not a directory");
    EXPECT_FALSE(WriteProfileString(blocker / "settings.ini", "A", "k", "v"));
    EXPECT_EQ(test::ReadBytes(blocker), "not a directory");
}

TEST_F(WriteProfileStringTest, FailsWhenThePathIsADirectory) {
    const auto inner = directory_.Path() / "inner";
    std::filesystem::create_directory(inner);
    EXPECT_FALSE(WriteProfileString(inner, "A", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(inner));
    EXPECT_EQ(FileNames(), std::vector<std::string>{"inner"});
}

TEST_F(WriteProfileStringTest, FailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    const std::string before = "[A]\nk=1\n";
    const auto path = directory_.Write("settings.ini", before);
    {
        ScopedFileSizeLimit limit(before.size() + 4);
        EXPECT_FALSE(WriteProfileString(path, "A", "k", std::string(64, 'x')));
    }
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_EQ(FileNames(), std::vector<std::string>{"settings.ini"});
}

TEST_F(WriteProfileStringTest, KeepsTheFilesPermissions) {
    const auto path = directory_.Write("settings.ini", "[A]\nk=1\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_TRUE(WriteProfileString(path, "A", "k", "2"));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(WriteFileAtomically, ReplacesTheWholeFile) {
    test::TempDirectory directory;
    const auto path = directory.Write("data", "old contents that are longer");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(test::ReadBytes(path), "new");
}

TEST(WriteFileAtomically, RefusesAPathWithoutAFileName) {
    test::TempDirectory directory;
    EXPECT_FALSE(WriteFileAtomically(directory.Path() / "", "x"));
}

}  // namespace
}  // namespace tessaly
