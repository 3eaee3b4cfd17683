// LoadSettings and SaveSettings: the profile store's values, and the settings file in the working directory.
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "MemoryProfileStore.h"
#include "TestFiles.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsFile.h"
#include "text/ProfileFile.h"

namespace tessaly {
namespace {

constexpr std::uint32_t kDefaultOptions = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
                                          kOptionConfirmProgram | kOptionConfirmVerify |
                                          kOptionBackupBeforeProgram;

constexpr std::string_view kDefaultFile =
    "[Config]\nLanguage=English\nPlugin=None\nPort=None\nDelayIO=1\nDelayPowerUp=200\nPulsePGM=20\n"
    "PulseFix=200\n[MainWindow]\nSize=0,0\nFont=Courier New,10,0,0,0\nHexView=0\n";

// The default file with the lines of the given keys ("Key=value", one a line) replaced.
std::string DefaultFileWith(const std::string& lines) {
    std::string file(kDefaultFile);
    std::istringstream stream(lines);
    for (std::string line; std::getline(stream, line);) {
        const std::size_t at = file.find("\n" + line.substr(0, line.find('=') + 1)) + 1;
        file.replace(at, file.find('\n', at) - at, line);
    }
    return file;
}

// A file read over the record that reading `before` left gives the default file with the `changed` lines:
// a missing key takes its default, a number that cannot be read and a missing field of Size or Font keep
// what was there, texts are cut to their field, and only 127 characters of a value count.
TEST(SettingsFile, EachFileGivesItsRecord) {
    const auto config = [](const std::string& keys) { return "[Config]\n" + keys + "\n"; };
    const auto window = [](const std::string& keys) { return "[MainWindow]\n" + keys + "\n"; };
    const std::string x100(100, 'x');
    const std::string x31(31, 'x');
    const struct {
        std::string ini, changed, before;
    } cases[] = {
        {"", "", ""},
        {window("Size=wide, 700 px"), "Size=640,700", window("Size=640,480")},
        {window("Font=Arial"), "Font=Arial,14,1,1,238", window("Font=X,14,1,1,238")},
        {"", "Font=Courier New,10,0,0,204", window("Font=X,14,1,1,204")},
        {window("Font=Arial,10,5,-1"), "Font=Arial,10,1,1,0", ""},
        {window("Font=Arial,10,0,00"), "Font=Arial,10,0,0,0", window("Font=X,10,1,1")},
        {window("Font=Arial,266,0,0,460"), "Font=Arial,10,0,0,204", ""},
        {window("Font=Arial,big,yes,1,greek"), "Font=Arial,9,0,1,161", window("Font=X,9,0,0,161")},
        {window("HexView=2"), "HexView=1", ""},
        {window("HexView=on"), "HexView=1", window("HexView=1")},
        {"", "", window("HexView=1")},
        {config("DelayIO=fast\nPulseFix=slow"), "DelayIO=7\nPulseFix=150", config("DelayIO=7\nPulseFix=150")},
        {config("Language=" + x100 + "\nPlugin=" + x100 + "\nPort=" + x100) + window("Font=" + x100 + ",12"),
         "Language=" + x31 + "\nPlugin=" + std::string(63, 'x') + "\nPort=" + x100.substr(0, 15) +
             "\nFont=" + x31 + ",12,0,0,0",
         ""},
        {config("DelayIO=" + std::string(126, '0') + "5\nDelayPowerUp=" + std::string(127, '0') + "5") +
             window("Font=" + std::string(124, 'x') + ",14"),
         "DelayIO=5\nDelayPowerUp=0\nFont=" + x31 + ",14,0,0,0", ""},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        ReadSettingsFile(ProfileFile(c.before), settings);
        ReadSettingsFile(ProfileFile(c.ini), settings);
        EXPECT_EQ(FormatSettingsFile(settings), DefaultFileWith(c.changed)) << c.ini;
    }
}

// Single-bit options take their value's lowest bit, AlignName its lowest two and MemoryInit its low 8;
// the list size is kept between 0 and 24.
TEST(ProfileValues, EachStoreValueGivesItsField) {
    const struct {
        const char* key;
        int stored, mruSize, memoryInit;
        std::uint32_t options;
    } cases[] = {
        {"None", 0, 8, 255, kDefaultOptions},
        {"MRU", 25, 24, 255, kDefaultOptions},
        {"MRU", -1, 0, 255, kDefaultOptions},
        {"MemoryInit", -256, 8, 0, kDefaultOptions},
        {"AlignName", -1, 8, 255, kDefaultOptions | 3u},
        {"ListResize", 2, 8, 255, kDefaultOptions & ~kOptionListResize},
        {"EnableItemTips", 0, 8, 255, kDefaultOptions & ~kOptionEnableItemTips},
        {"EditOnError", -2, 8, 255, kDefaultOptions & ~kOptionEditOnError},
        {"ConfirmProgram", 4, 8, 255, kDefaultOptions & ~kOptionConfirmProgram},
        {"ConfirmVerify", 0, 8, 255, kDefaultOptions & ~kOptionConfirmVerify},
        {"BackupBeforeProgram", 0, 8, 255, kDefaultOptions & ~kOptionBackupBeforeProgram},
    };
    for (const auto& c : cases) {
        test::MemoryProfileStore store;
        store.WriteInt(kSettingsSection, c.key, c.stored);
        AppSettings loaded;
        ReadProfileValues(store, loaded);
        EXPECT_EQ(loaded.mruSize, c.mruSize) << c.key;
        EXPECT_EQ(loaded.memoryInit, c.memoryInit) << c.key;
        EXPECT_EQ(loaded.options, c.options) << c.key;
    }
}

// Each test runs in a fresh working directory, with an empty profile store and a record as it is before
// start-up (all zero). The program is called "tessaly", so its settings file is tessaly.ini.
class AppSettingsTest : public ::testing::Test {
  protected:
    bool Load() { return LoadSettings(settings_, store_, "tessaly"); }
    bool Save() { return SaveSettings(settings_, store_, "tessaly"); }

    test::TempDirectory directory_;
    test::ScopedWorkingDirectory inside_{directory_.Path()};
    test::MemoryProfileStore store_;
    AppSettings settings_;
};

// The file is written whole, so that sections, keys and comments added by hand are gone, and it loads
// back, with the store's values, to the same record; a text cannot add lines to it.
TEST_F(AppSettingsTest, WhatIsSavedLoadsBackUnchanged) {
    const std::string file =
        "[Config]\nLanguage=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=-3\nDelayPowerUp=50\n"
        "PulsePGM=10\nPulseFix=100\n[MainWindow]\nSize=1024,768\nFont=DejaVu Sans "
        "Mono,9,0,1,238\nHexView=1\n";
    test::WriteBytes("tessaly.ini", "; written by hand\n[Extra]\nKey=1\n" + file + "Position=10,10\n");
    ASSERT_TRUE(Load());
    settings_.mruSize = 12;
    settings_.memoryInit = 0xA5;
    settings_.options = 2u | kOptionEnableItemTips | kOptionConfirmVerify | kOptionHexView;
    ASSERT_TRUE(Save());
    EXPECT_EQ(test::ReadBytes("tessaly.ini"), file);
    AppSettings reloaded;
    ASSERT_TRUE(LoadSettings(reloaded, store_, "tessaly"));
    EXPECT_EQ(reloaded, settings_);

    settings_.portName.Set("COM1\r\n[Evil]\nX=1");
    ASSERT_TRUE(Save());
    const std::string written = test::ReadBytes("tessaly.ini");
    EXPECT_NE(written.find("\nPort=COM1\nDelayIO="), std::string::npos) << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 12);
}

// The file is replaced in one step: a write that fails part of the way keeps the earlier file.
TEST_F(AppSettingsTest, AFailedSaveKeepsTheEarlierFile) {
    test::WriteBytes("tessaly.ini", "[Config]\nLanguage=Deutsch\n; keep me\n");
    ASSERT_TRUE(Load());
    {
        const test::FileSizeLimit limit(16);
        EXPECT_FALSE(Save());
    }
    EXPECT_EQ(test::ReadBytes("tessaly.ini"), "[Config]\nLanguage=Deutsch\n; keep me\n");
}

// The settings file lives in the working directory: without one only the store is written and read.
TEST_F(AppSettingsTest, WithoutAWorkingDirectoryOnlyTheStoreIsWrittenAndRead) {
    std::filesystem::create_directory("gone");
    const test::ScopedWorkingDirectory there("gone");
    std::filesystem::remove("../gone");
    settings_.mruSize = 7;
    EXPECT_FALSE(Save());
    settings_ = AppSettings();
    EXPECT_FALSE(Load());
    EXPECT_EQ(settings_.mruSize, 7);
}

}  // namespace
}  // namespace tessaly
