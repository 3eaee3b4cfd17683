#include "settings/IniPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "TestFiles.h"

namespace tessaly {
namespace {

// Only the executable's file name counts, and only its last extension is replaced.
TEST(IniPath, IsNamedAfterTheExecutableInTheWorkingDirectory) {
    const test::TempDirectory directory;
    const test::ScopedWorkingDirectory inside(directory.Path());
    const std::pair<const char*, const char*> cases[] = {
        {"tessaly", "tessaly.ini"},
        {"tessaly.exe", "tessaly.ini"},
        {"tessaly.v2.bin", "tessaly.v2.ini"},
    };
    for (const auto& [executable, file] : cases) {
        EXPECT_EQ(GetIniPath(executable), std::filesystem::canonical(directory.Path()) / file) << executable;
    }
    EXPECT_EQ(GetIniPath(""), "");
    EXPECT_EQ(GetIniPath("bin/"), "");
}

TEST(ExecutableName, IsTheFileNameOfTheRunningProgram) {
    EXPECT_EQ(GetExecutableName(), "settings_tests");
}

}  // namespace
}  // namespace tessaly
