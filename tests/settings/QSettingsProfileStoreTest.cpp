#include "settings/QSettingsProfileStore.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include "SettingsTestFixture.h"
#include "TestFiles.h"
#include "settings/AppSettings.h"

namespace tessaly {
namespace {

// Each test has its own section: the configuration file is shared by every test of the program.
std::string SectionOf(const ::testing::TestInfo& test) {
    return std::string(test.test_suite_name()) + "." + test.name();
}

std::filesystem::path ConfigFile() {
    return std::filesystem::path(::getenv("XDG_CONFIG_HOME")) / "Halvorn" / "Tessaly.conf";
}

// Gives the configuration file other contents while the object lives and puts its earlier bytes back
// afterwards, so that the tests after it find the file as they would have without it.
class ReplacedConfigFile {
  public:
    explicit ReplacedConfigFile(std::string_view contents) : earlier_(test::ReadBytes(ConfigFile())) {
        Write(contents);
    }
    ~ReplacedConfigFile() { Write(earlier_); }
    ReplacedConfigFile(const ReplacedConfigFile&) = delete;
    ReplacedConfigFile& operator=(const ReplacedConfigFile&) = delete;

  private:
    static void Write(std::string_view contents) {
        std::filesystem::create_directories(ConfigFile().parent_path());
        std::ofstream(ConfigFile(), std::ios::binary | std::ios::trunc) << contents;
    }

    std::string earlier_;
};

class QSettingsProfileStoreTest : public ::testing::Test {
  protected:
    const std::string section_ = SectionOf(*::testing::UnitTest::GetInstance()->current_test_info());
};

TEST_F(QSettingsProfileStoreTest, ValuesAndTextsLastFromOneStoreToTheNextAndASectionGoesAsAWhole) {
    {
        QSettingsProfileStore store;
        store.WriteInt(section_, "Negative", std::numeric_limits<int>::min());
        store.WriteInt(section_, "MRU", 12);
        store.WriteText(section_, "File1", "/home/user/board, rev 2.dev");
        store.WriteText(section_, "File2", "/tmp/b.dev");
    }
    QSettingsProfileStore store;
    EXPECT_EQ(store.GetInt(section_, "Negative", 0), std::numeric_limits<int>::min());
    EXPECT_EQ(store.GetInt(section_, "Missing", -5), -5);
    EXPECT_EQ(store.GetText(section_, "File1", ""), "/home/user/board, rev 2.dev");
    EXPECT_EQ(store.GetText(section_, "File3", "none"), "none");
    ASSERT_NE(::getenv("XDG_CONFIG_HOME"), nullptr);
    EXPECT_NE(test::ReadBytes(ConfigFile()).find("MRU=12"), std::string::npos) << "the test's own file";
    store.RemoveSection(section_);
    EXPECT_EQ(store.GetText(section_, "File2", ""), "");
}

TEST_F(QSettingsProfileStoreTest, HandWrittenValuesAreReadAsNumbersOrGiveTheDefault) {
    const ReplacedConfigFile handWritten(
        "[" + section_ + "]\nMRU=abc\nAlignName= 6 \nListResize=1,2\nHuge=99999999999\nSuffix=12px\n");
    const QSettingsProfileStore store;
    EXPECT_EQ(store.GetInt(section_, "MRU", 8), 8);
    EXPECT_EQ(store.GetInt(section_, "AlignName", 0), 6);
    EXPECT_EQ(store.GetInt(section_, "ListResize", 1), 1);
    EXPECT_EQ(store.GetInt(section_, "Huge", 0), std::numeric_limits<int>::max());
    EXPECT_EQ(store.GetInt(section_, "Suffix", 0), 12);
}

TEST_F(QSettingsProfileStoreTest, DamagedFileGivesTheDefaults) {
    using namespace std::string_literals;
    const std::string longLine(100 * 1024, 'x');
    const ReplacedConfigFile damaged("[" + section_ + "]\nMRU=3\n\0\xFF\xFE\x80\nBroken\0Key=5\n"s +
                                     longLine + "\nAlignName=\xC3\x28\nLong=" + longLine +
                                     "\nListResize=2\nTrunc"s);
    const QSettingsProfileStore store;
    EXPECT_EQ(store.GetInt(section_, "MRU", 8), 3);
    EXPECT_EQ(store.GetInt(section_, "Broken", 8), 8);
    EXPECT_EQ(store.GetInt(section_, "AlignName", 1), 1);
    EXPECT_EQ(store.GetInt(section_, "Long", 1), 1);
    EXPECT_EQ(store.GetInt(section_, "ListResize", 1), 2);
    EXPECT_EQ(store.GetInt(section_, "Trunc", 7), 7);
    EXPECT_EQ(store.GetText(section_, "Missing", "none"), "none");
}

using SettingsWithQSettingsTest = test::SettingsTest;

TEST_F(SettingsWithQSettingsTest, SavedSettingsLoadBackThroughTheUserProfile) {
    {
        QSettingsProfileStore store;
        ASSERT_TRUE(LoadSettings(settings_, store, kExecutable));
        settings_.mruSize = 3;
        settings_.options = kOptionConfirmProgram | 2u;
        settings_.memoryInit = 0x5A;
        ASSERT_TRUE(SaveSettings(settings_, store, kExecutable));
    }
    const QSettingsProfileStore store;
    AppSettings reloaded;
    ASSERT_TRUE(LoadSettings(reloaded, store, kExecutable));
    EXPECT_EQ(reloaded, settings_);
}

constexpr std::uint32_t kDefaultOptions = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
                                          kOptionConfirmProgram | kOptionConfirmVerify;

// A profile of random bytes gives the defaults; a truncated one gives defaults for what is cut off.
TEST_F(SettingsWithQSettingsTest, ADamagedProfileGivesTheDefaults) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(64 * 1024, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(random));
    }
    const std::tuple<std::string, int, std::uint32_t> profiles[] = {
        {bytes, kDefaultMruSize, kDefaultOptions},
        {"[Settings]\nMRU=4\nAlignName=2\nMemoryIn", 4, kDefaultOptions | 2u},
    };
    for (const auto& [contents, mruSize, options] : profiles) {
        const ReplacedConfigFile damaged(contents);
        const QSettingsProfileStore store;
        AppSettings loaded;
        ASSERT_TRUE(LoadSettings(loaded, store, kExecutable));
        EXPECT_EQ(loaded.mruSize, mruSize);
        EXPECT_EQ(loaded.memoryInit, kDefaultMemoryInit);
        EXPECT_EQ(loaded.options, options);
    }
}

}  // namespace
}  // namespace tessaly
