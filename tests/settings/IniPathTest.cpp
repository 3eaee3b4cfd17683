#include "settings/IniPath.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"

namespace tessaly {
namespace {

class IniPathTest : public ::testing::Test {
  protected:
    // The working directory as the system reports it, with any link in the temporary path resolved.
    std::filesystem::path Directory() const { return std::filesystem::canonical(directory_.Path()); }

    test::TempDirectory directory_;
    test::ScopedWorkingDirectory inside_{directory_.Path()};
};

// Only the executable's file name counts, and only its last extension is replaced.
TEST_F(IniPathTest, NamedAfterTheExecutableInTheWorkingDirectory) {
    EXPECT_EQ(GetIniPath("tessaly"), Directory() / "tessaly.ini");
    EXPECT_EQ(GetIniPath("tessaly.exe"), Directory() / "tessaly.ini");
    EXPECT_EQ(GetIniPath("tessaly.v2.bin"), Directory() / "tessaly.v2.ini");
    EXPECT_EQ(GetIniPath("/usr/local/bin/tessaly"), Directory() / "tessaly.ini");
}

TEST_F(IniPathTest, FollowsTheWorkingDirectory) {
    const test::TempDirectory other;
    const test::ScopedWorkingDirectory there(other.Path());
    EXPECT_EQ(GetIniPath("tessaly"), std::filesystem::canonical(other.Path()) / "tessaly.ini");
}

TEST_F(IniPathTest, NoNameGivesNoPath) {
    EXPECT_TRUE(GetIniPath("").empty());
    EXPECT_TRUE(GetIniPath("bin/").empty());
}

TEST_F(IniPathTest, RemovedWorkingDirectoryGivesNoPath) {
    const std::filesystem::path doomed = directory_.Path() / "doomed";
    std::filesystem::create_directory(doomed);
    const test::ScopedWorkingDirectory there(doomed);
    std::filesystem::remove(doomed);
    EXPECT_TRUE(GetIniPath("tessaly").empty());
}

TEST(ExecutableName, IsTheFileNameOfTheRunningProgram) {
    EXPECT_EQ(GetExecutableName(), "settings_tests");
}

}  // namespace
}  // namespace tessaly
