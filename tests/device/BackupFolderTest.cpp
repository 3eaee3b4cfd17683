#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ScopedEnvironment.h"
#include "TestFiles.h"
#include "device/BackupFolder.h"

namespace tessaly {
namespace {

using ::testing::MatchesRegex;

TEST(BackupFolderTest, FolderFollowsTheStateHomeOfTheTemplatesStem) {
    test::ScopedEnvironment environment;
    environment.Set("HOME", "/home/u");
    environment.Set("XDG_STATE_HOME", "/state");
    EXPECT_EQ(BackupFolder::ForTemplate("/x/board.v2.dev").Directory(), "/state/tessaly/backups/board");
    environment.Unset("XDG_STATE_HOME");
    EXPECT_EQ(BackupFolder::ForTemplate("board.dev").Directory(),
              "/home/u/.local/state/tessaly/backups/board");
}

// A name taken in the same second gets a number; each unit lists its own backups, newest first; the
// folder keeps the newest kKeptBackups of all units.
TEST(BackupFolderTest, NamesListsAndKeepsTheNewest) {
    test::TempDirectory root;
    const BackupFolder folder(root.Path() / "board");
    const auto time = std::chrono::system_clock::now();
    const std::vector<std::uint8_t> bytes = {1, 2, 3};
    ASSERT_TRUE(folder.Save("Main", bytes, time).saved);
    const BackupSave second = folder.Save("Main", bytes, time);
    ASSERT_TRUE(second.saved);
    ASSERT_TRUE(folder.Save("Other-1", bytes, time + std::chrono::seconds(1)).saved);
    const std::vector<std::filesystem::path> main = folder.List("Main");
    ASSERT_EQ(main.size(), 2u);
    EXPECT_EQ(main[0], second.path);
    EXPECT_THAT(main[0].filename().string(), MatchesRegex("Main-[0-9]{8}-[0-9]{6}-2\\.bin"));
    EXPECT_THAT(main[1].filename().string(), MatchesRegex("Main-[0-9]{8}-[0-9]{6}\\.bin"));
    EXPECT_EQ(test::ReadBytes(main[1]), "\1\2\3");
    for (int i = 2; i <= static_cast<int>(kKeptBackups); ++i) {
        ASSERT_TRUE(folder.Save("Other-1", bytes, time + std::chrono::seconds(i)).saved);
    }
    EXPECT_EQ(folder.List("Other-1").size(), kKeptBackups);
    EXPECT_TRUE(folder.List("Main").empty());
}

}  // namespace
}  // namespace tessaly
