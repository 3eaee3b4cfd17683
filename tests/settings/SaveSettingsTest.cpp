#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "SettingsTestFixture.h"
#include "TestFiles.h"
#include "settings/AppSettings.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsFile.h"

namespace tessaly {
namespace {

using SaveSettingsTest = test::SettingsTest;

constexpr std::string_view kDefaultFile =
    "[Config]\nLanguage=English\nPlugin=None\nPort=None\nDelayIO=1\nDelayPowerUp=200\nPulsePGM=20\n"
    "PulseFix=200\n[MainWindow]\nSize=0,0\nFont=Courier New,10,0,0,0\n";

TEST_F(SaveSettingsTest, WritesTheDefaultsAsTheWholeFile) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadIni(), kDefaultFile);
}

TEST_F(SaveSettingsTest, WritesTheStoreValuesInOrder) {
    ASSERT_TRUE(Load());
    settings_.mruSize = 12;
    settings_.memoryInit = 0xA5;
    settings_.options = 2u | kOptionEnableItemTips | kOptionConfirmVerify;
    ASSERT_TRUE(Save());
    const std::pair<const char*, int> written[] = {
        {"MRU", 12},           {"MemoryInit", 0xA5}, {"ListResize", 0},     {"AlignName", 2},
        {"EnableItemTips", 1}, {"EditOnError", 0},   {"ConfirmProgram", 0}, {"ConfirmVerify", 1}};
    ASSERT_EQ(store_.Writes().size(), std::size(written));
    for (std::size_t i = 0; i < std::size(written); ++i) {
        EXPECT_EQ(store_.Writes()[i], std::string("Settings/") + written[i].first);
        EXPECT_EQ(store_.Find(kSettingsSection, written[i].first), written[i].second) << written[i].first;
    }
}

TEST_F(SaveSettingsTest, FontRoundTripsToTheSameTextWithTheStyleAsTwoNumbers) {
    for (const char* font : {"Arial,12,1,0,204", "Courier New,10,0,1,0"}) {
        WriteIni(std::string("[MainWindow]\nFont=") + font + "\n");
        ASSERT_TRUE(Load());
        ASSERT_TRUE(Save());
        EXPECT_NE(ReadIni().find(std::string("\nFont=") + font + "\n"), std::string::npos) << font;
    }
}

TEST_F(SaveSettingsTest, HandAddedSectionsKeysAndCommentsAreGone) {
    WriteIni(
        "; written by hand\n[Extra]\nKey=1\n[Config]\nLanguage=Deutsch\nUnknown=2\n[MainWindow]\n"
        "Size=800,600\nPosition=10,10\n");
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Save());
    const std::string file = ReadIni();
    EXPECT_EQ(file,
              "[Config]\nLanguage=Deutsch\nPlugin=None\nPort=None\nDelayIO=1\nDelayPowerUp=200\nPulsePGM=20\n"
              "PulseFix=200\n[MainWindow]\nSize=800,600\nFont=Courier New,10,0,0,0\n");
}

TEST_F(SaveSettingsTest, WhatIsSavedLoadsBackUnchanged) {
    WriteIni(
        "[Config]\nLanguage=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=-3\nDelayPowerUp=50\n"
        "PulsePGM=10\nPulseFix=100\n[MainWindow]\nSize=1024,768\nFont=DejaVu Sans Mono,9,0,1,238\n");
    store_.WriteInt(kSettingsSection, "MRU", 16);
    store_.WriteInt(kSettingsSection, "AlignName", 1);
    store_.WriteInt(kSettingsSection, "MemoryInit", 0);
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Save());

    AppSettings reloaded;
    ASSERT_TRUE(LoadSettings(reloaded, store_, kExecutable));
    EXPECT_EQ(reloaded, settings_);
}

TEST_F(SaveSettingsTest, LineBreaksInTextsCannotAddLines) {
    ASSERT_TRUE(Load());
    settings_.portName.Set("COM1\n[Evil]");
    settings_.language.Set("English\r\nX=1");
    ASSERT_TRUE(Save());
    const std::string file = ReadIni();
    EXPECT_NE(file.find("\nPort=COM1\n"), std::string::npos);
    EXPECT_NE(file.find("\nLanguage=English\n"), std::string::npos);
    EXPECT_EQ(file.find("Evil"), std::string::npos);
    EXPECT_EQ(file.find("X=1"), std::string::npos);
}

TEST_F(SaveSettingsTest, UnreadableWorkingDirectoryWritesOnlyTheStore) {
    ASSERT_TRUE(Load());
    const std::filesystem::path doomed = directory_.Path() / "doomed";
    std::filesystem::create_directory(doomed);
    const test::ScopedWorkingDirectory there(doomed);
    std::filesystem::remove(doomed);

    EXPECT_FALSE(Save());
    EXPECT_EQ(store_.Writes().size(), 8u);
    EXPECT_EQ(test::FileNamesIn(directory_.Path()), std::vector<std::string>{});
}

TEST_F(SaveSettingsTest, ADirectoryInPlaceOfTheFileStaysAsItWas) {
    std::filesystem::create_directory(IniPath());
    directory_.Write("tessaly.ini/inside", "kept");
    ASSERT_TRUE(Load());
    EXPECT_FALSE(Save());
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
    EXPECT_EQ(test::ReadBytes(IniPath() / "inside"), "kept");
    EXPECT_EQ(test::FileNamesIn(directory_.Path()), std::vector<std::string>{"tessaly.ini"});
}

TEST_F(SaveSettingsTest, AWriteThatFailsPartWayKeepsTheOldFile) {
    const std::string old = "[Config]\nLanguage=Deutsch\n; keep me\n";
    WriteIni(old);
    ASSERT_TRUE(Load());
    {
        const test::FileSizeLimit limit(16);
        EXPECT_FALSE(Save());
    }
    EXPECT_EQ(ReadIni(), old);
    EXPECT_EQ(test::FileNamesIn(directory_.Path()), std::vector<std::string>{"tessaly.ini"});
    EXPECT_TRUE(Save());
    EXPECT_EQ(ReadIni().find("keep me"), std::string::npos);
}

TEST(WriteSettingsFile, APathUnderAMissingDirectoryFailsAndCreatesNothing) {
    const test::TempDirectory directory;
    const std::filesystem::path missing = directory.Path() / "missing";
    EXPECT_FALSE(WriteSettingsFile(missing / "tessaly.ini", AppSettings{}));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(FormatSettingsFile, HoldsExactlyTwoSectionsAndNineKeysInOrder) {
    AppSettings settings;
    settings.pluginName.Set("sim.so");
    settings.windowWidth = -1;
    settings.fontSize = 255;
    settings.fontFlags = 0xFF;
    EXPECT_EQ(FormatSettingsFile(settings),
              "[Config]\nLanguage=\nPlugin=sim.so\nPort=\nDelayIO=0\nDelayPowerUp=0\nPulsePGM=0\nPulseFix=0\n"
              "[MainWindow]\nSize=-1,0\nFont=,255,1,1,0\n");
}

}  // namespace
}  // namespace tessaly
