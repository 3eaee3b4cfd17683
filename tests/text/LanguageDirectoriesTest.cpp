#include "text/LanguageDirectories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace tessaly {
namespace {

using Paths = std::vector<std::filesystem::path>;

// The installed program lies in TESSALY_INSTALL_PROGRAM_DIR under its prefix, whatever the prefix is.
TEST(LanguageDirectoriesTest, WorkingDirectoryThenTheInstalledLanguagesThenTheBuildTreesLanguages) {
    const std::filesystem::path prefix = "/opt/somewhere";
    const std::filesystem::path program = prefix / TESSALY_INSTALL_PROGRAM_DIR / "tessaly";
    const Paths found = LanguageDirectories("/home/user", program);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], "/home/user");
    EXPECT_EQ(found[1], prefix / TESSALY_INSTALL_LANGUAGE_DIR);

    EXPECT_EQ(LanguageDirectories("", program), Paths(found.begin() + 1, found.end()));
    EXPECT_EQ(LanguageDirectories("/home/user", ""), Paths{"/home/user"});
}

}  // namespace
}  // namespace tessaly
