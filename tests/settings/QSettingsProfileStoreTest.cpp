#include "settings/QSettingsProfileStore.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "TestFiles.h"

namespace tessaly {
namespace {

// The user's configuration directory is a fresh temporary one for the whole program, set before the first
// QSettings object (Qt fixes the path on first use), so that the real user's settings stay untouched.
const test::TempDirectory kConfigHome;
[[maybe_unused]] const int kConfigHomeSet = ::setenv("XDG_CONFIG_HOME", kConfigHome.Path().c_str(), 1);

std::filesystem::path ConfigFile() {
    return kConfigHome.Path() / "Halvorn" / "Tessaly.conf";
}

// Each test has its own section: the configuration file is shared by every test of the program.
class QSettingsProfileStoreTest : public ::testing::Test {
  protected:
    const std::string section_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(QSettingsProfileStoreTest, ValuesAndTextsLastFromOneStoreToTheNextAndASectionGoesAsAWhole) {
    {
        QSettingsProfileStore store;
        store.WriteInt(section_, "Negative", std::numeric_limits<int>::min());
        store.WriteInt(section_, "MRU", 12);
        store.WriteText(section_, "File1", "/home/user/board, rev 2.dev");
    }
    QSettingsProfileStore store;
    EXPECT_EQ(store.GetInt(section_, "Negative", 0), std::numeric_limits<int>::min());
    EXPECT_EQ(store.GetInt(section_, "Missing", -5), -5);
    EXPECT_EQ(store.GetText(section_, "File1", ""), "/home/user/board, rev 2.dev");
    EXPECT_EQ(store.GetText(section_, "File3", "none"), "none");
    EXPECT_NE(test::ReadBytes(ConfigFile()).find("MRU=12"), std::string::npos) << "the test's own file";
    store.RemoveSection(section_);
    EXPECT_EQ(store.GetText(section_, "File1", ""), "");
}

}  // namespace
}  // namespace tessaly
