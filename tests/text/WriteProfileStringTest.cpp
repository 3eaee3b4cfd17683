#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
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

    std::vector<std::string> FileNames() const { return test::FileNamesIn(directory_.Path()); }

    test::TempDirectory directory_;
};

TEST_F(WriteProfileStringTest, ReplacesOrAddsTheKeyKeepingEveryOtherLine) {
    struct Case {
        const char* what;
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    };
    const Case cases[] = {
        {"replaced in place", "; head\r\n[Config]\r\n  Size = 1,2 \r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n",
         "config", "Size", "; head\r\n[Config]\r\nSize=v\r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n"},
        {"last line without a line end", "[A]\nk=1", "A", "K", "[A]\nK=v"},
        {"only the first matching section and key", "[A]\nk=1\nk=2\n[a]\nk=3\n", "a", "k",
         "[A]\nk=v\nk=2\n[a]\nk=3\n"},
        {"new key after the last non-blank line", "[A]\nx=1\n; note\n\n  \n[B]\ny=2\n", "A", "k",
         "[A]\nx=1\n; note\nk=v\n\n  \n[B]\ny=2\n"},
        {"new key in an empty section", "[A]\n[B]\n", "A", "k", "[A]\nk=v\n[B]\n"},
        {"new key at the end without a line end", "[A]\nx=1", "A", "k", "[A]\nx=1\nk=v\n"},
        {"new section", "[A]\nx=1\n", "B", "k", "[A]\nx=1\n[B]\nk=v\n"},
        {"new section without a line end", "[A]\nx=1", "B", "k", "[A]\nx=1\n[B]\nk=v\n"},
        {"new key with CR LF", "[A]\r\nx=1\r\n", "A", "k", "[A]\r\nx=1\r\nk=v\r\n"},
        {"new section with CR LF", "[A]\r\nx=1\r\n", "B", "k", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rewrite(c.before, c.section, c.key, "v"), c.after) << c.what;
    }
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
    const std::array<const char*, 3> refused[] = {
        {"", "k", "v"},   {" A", "k", "v"},         {"A]B", "k", "v"},  {"A\nB", "k", "v"},
        {"A", "", "v"},   {"A", "k ", "v"},         {"A", "a=b", "v"},  {"A", "[k", "v"},
        {"A", ";k", "v"}, {"A", "k", "two\nlines"}, {"A", "k", "cr\r"},
    };
    for (const auto& [section, key, value] : refused) {
        EXPECT_FALSE(WriteProfileString(path, section, key, value)) << section << "/" << key << "=" << value;
    }
    EXPECT_EQ(test::ReadBytes(path), before);
}

TEST_F(WriteProfileStringTest, RefusesAFileBiggerThanTheReadLimitButAcceptsOneOfExactlyIt) {
    std::string text = "[A]\nk=1\n";
    text.append(ProfileFile::kMaxFileBytes - text.size(), ';');
    const auto path = directory_.Write("limit.ini", text + ";");
    EXPECT_FALSE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), text + ";");
    directory_.Write("limit.ini", text);
    ASSERT_TRUE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), "[A]\nk=2\n" + text.substr(8));
}

TEST_F(WriteProfileStringTest, FailsWithoutAPlaceForTheFileAndChangesNothing) {
    const auto missing = directory_.Path() / "missing";
    EXPECT_FALSE(WriteProfileString(missing / "settings.ini", "A", "k", "v"));
    const auto blocker = directory_.Write("blocker", "not a directory");
    EXPECT_FALSE(WriteProfileString(blocker / "settings.ini", "A", "k", "v"));
    EXPECT_EQ(test::ReadBytes(blocker), "not a directory");
    const auto inner = directory_.Path() / "inner";
    std::filesystem::create_directory(inner);
    EXPECT_FALSE(WriteProfileString(inner, "A", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(inner));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"blocker", "inner"}));
}

TEST_F(WriteProfileStringTest, FailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    const std::string before = "[A]\nk=1\n";
    const auto path = directory_.Write("settings.ini", before);
    {
        test::FileSizeLimit limit(before.size() + 4);
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

TEST(WriteFileAtomically, ReplacesTheWholeFileAndNeedsAFileName) {
    test::TempDirectory directory;
    const auto path = directory.Write("data", "old contents that are longer");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(test::ReadBytes(path), "new");
    EXPECT_FALSE(WriteFileAtomically(directory.Path() / "", "x"));
}

}  // namespace
}  // namespace tessaly
