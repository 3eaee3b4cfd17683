#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "SettingsTestFixture.h"
#include "app/AppSettings.h"
#include "app/ProfileValues.h"
#include "app/SettingsFile.h"

namespace tessaly {
namespace {

using LoadSettingsTest = test::SettingsTest;

constexpr std::uint32_t kDefaultOptions = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
                                          kOptionConfirmProgram | kOptionConfirmVerify;

// The record after start-up with no settings file and an empty profile store, written out field by field.
AppSettings Defaults() {
    AppSettings settings;
    settings.pluginName.Set("None");
    settings.portName.Set("None");
    settings.delayIO = 1;
    settings.delayPowerUp = 200;
    settings.pulsePGM = 20;
    settings.pulseFix = 200;
    settings.language.Set("English");
    settings.windowWidth = 0;
    settings.windowHeight = 0;
    settings.fontFlags = 0;
    settings.fontSize = 10;
    settings.fontCharSet = 0;
    settings.fontFace.Set("Courier New");
    settings.mruSize = 8;
    settings.memoryInit = 255;
    settings.options = kDefaultOptions;
    return settings;
}

TEST_F(LoadSettingsTest, RecordIsZeroBeforeLoading) {
    const AppSettings zero;
    EXPECT_EQ(zero.pluginName.View(), "");
    EXPECT_EQ(zero.portName.View(), "");
    EXPECT_EQ(zero.language.View(), "");
    EXPECT_EQ(zero.fontFace.View(), "");
    EXPECT_EQ(zero.delayIO | zero.delayPowerUp | zero.pulsePGM | zero.pulseFix, 0);
    EXPECT_EQ(zero.windowWidth | zero.windowHeight | zero.mruSize, 0);
    EXPECT_EQ(zero.fontFlags | zero.fontSize | zero.fontCharSet | zero.memoryInit, 0);
    EXPECT_EQ(zero.options, 0u);
}

TEST_F(LoadSettingsTest, EveryFieldTakesItsDefaultWithoutFileOrStore) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.pluginName.View(), "None");
    EXPECT_EQ(settings_.portName.View(), "None");
    EXPECT_EQ(settings_.delayIO, 1);
    EXPECT_EQ(settings_.delayPowerUp, 200);
    EXPECT_EQ(settings_.pulsePGM, 20);
    EXPECT_EQ(settings_.pulseFix, 200);
    EXPECT_EQ(settings_.language.View(), "English");
    EXPECT_EQ(settings_.windowWidth, 0);
    EXPECT_EQ(settings_.windowHeight, 0);
    EXPECT_EQ(settings_.fontFlags, 0);
    EXPECT_EQ(settings_.fontSize, 10);
    EXPECT_EQ(settings_.fontCharSet, 0);
    EXPECT_EQ(settings_.fontFace.View(), "Courier New");
    EXPECT_EQ(settings_.mruSize, 8);
    EXPECT_EQ(settings_.memoryInit, 255);
    EXPECT_EQ(settings_.options & kOptionAlignNameMask, 0u);
    EXPECT_NE(settings_.options & kOptionListResize, 0u);
    EXPECT_NE(settings_.options & kOptionEnableItemTips, 0u);
    EXPECT_NE(settings_.options & kOptionEditOnError, 0u);
    EXPECT_NE(settings_.options & kOptionConfirmProgram, 0u);
    EXPECT_NE(settings_.options & kOptionConfirmVerify, 0u);
    EXPECT_EQ(settings_, Defaults());
}

TEST_F(LoadSettingsTest, LoadingOnlyReadsTheStore) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(store_.Writes().empty());
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(LoadSettingsTest, ReadsEveryKeyOfTheFile) {
    WriteIni(
        "[Config]\nLanguage=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=3\nDelayPowerUp=50\n"
        "PulsePGM=10\nPulseFix=100\n[MainWindow]\nSize=800,600\nFont=Arial,12,1,1,204\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.language.View(), "Deutsch");
    EXPECT_EQ(settings_.pluginName.View(), "sim.so");
    EXPECT_EQ(settings_.portName.View(), "/dev/ttyUSB0");
    EXPECT_EQ(settings_.delayIO, 3);
    EXPECT_EQ(settings_.delayPowerUp, 50);
    EXPECT_EQ(settings_.pulsePGM, 10);
    EXPECT_EQ(settings_.pulseFix, 100);
    EXPECT_EQ(settings_.windowWidth, 800);
    EXPECT_EQ(settings_.windowHeight, 600);
    EXPECT_EQ(settings_.fontFace.View(), "Arial");
    EXPECT_EQ(settings_.fontSize, 12);
    EXPECT_EQ(settings_.fontFlags, kFontBold | kFontItalic);
    EXPECT_EQ(settings_.fontCharSet, 204);
}

TEST_F(LoadSettingsTest, ReadsEveryValueOfTheStore) {
    store_.WriteInt(kSettingsSection, "MRU", 4);
    store_.WriteInt(kSettingsSection, "MemoryInit", 0);
    store_.WriteInt(kSettingsSection, "ListResize", 0);
    store_.WriteInt(kSettingsSection, "AlignName", 1);
    store_.WriteInt(kSettingsSection, "EnableItemTips", 0);
    store_.WriteInt(kSettingsSection, "EditOnError", 0);
    store_.WriteInt(kSettingsSection, "ConfirmProgram", 0);
    store_.WriteInt(kSettingsSection, "ConfirmVerify", 1);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.mruSize, 4);
    EXPECT_EQ(settings_.memoryInit, 0);
    EXPECT_EQ(settings_.options, 1u | kOptionConfirmVerify);
}

TEST_F(LoadSettingsTest, SizeOfZeroAnd600KeepsBothNumbers) {
    WriteIni("[MainWindow]\nSize=0,600\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.windowWidth, 0);
    EXPECT_EQ(settings_.windowHeight, 600);
}

TEST_F(LoadSettingsTest, SizeFieldsThatAreMissingOrNoNumbersKeepTheirValue) {
    settings_.windowWidth = 640;
    settings_.windowHeight = 480;
    WriteIni("[MainWindow]\nSize=1024\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.windowWidth, 1024);
    EXPECT_EQ(settings_.windowHeight, 480);

    WriteIni("[MainWindow]\nSize=wide, 700 px\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.windowWidth, 1024);
    EXPECT_EQ(settings_.windowHeight, 700);
}

TEST_F(LoadSettingsTest, FontWithEveryField) {
    WriteIni("[MainWindow]\nFont=Arial,12,1,0,204\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFace.View(), "Arial");
    EXPECT_EQ(settings_.fontSize, 12);
    EXPECT_EQ(settings_.fontFlags, kFontBold);
    EXPECT_EQ(settings_.fontCharSet, 204);
}

TEST_F(LoadSettingsTest, FontWithOnlyAFaceChangesOnlyTheFace) {
    settings_.fontSize = 14;
    settings_.fontFlags = kFontBold | kFontItalic;
    settings_.fontCharSet = 238;
    WriteIni("[MainWindow]\nFont=Arial\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFace.View(), "Arial");
    EXPECT_EQ(settings_.fontSize, 14);
    EXPECT_EQ(settings_.fontFlags, kFontBold | kFontItalic);
    EXPECT_EQ(settings_.fontCharSet, 238);
}

TEST_F(LoadSettingsTest, FontWithAnEmptyFaceEmptiesTheFace) {
    WriteIni("[MainWindow]\nFont=,14\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFace.View(), "");
    EXPECT_EQ(settings_.fontSize, 14);
    EXPECT_EQ(settings_.fontFlags, 0);
    EXPECT_EQ(settings_.fontCharSet, 0);
}

TEST_F(LoadSettingsTest, MissingFontKeepsTheCharacterSetAndClearsTheStyle) {
    settings_.fontCharSet = 204;
    settings_.fontFlags = kFontBold | kFontItalic;
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFace.View(), "Courier New");
    EXPECT_EQ(settings_.fontSize, 10);
    EXPECT_EQ(settings_.fontFlags, 0);
    EXPECT_EQ(settings_.fontCharSet, 204);
}

TEST_F(LoadSettingsTest, FontStyleNumbersCountAsZeroOrNotZero) {
    WriteIni("[MainWindow]\nFont=Arial,10,5,-1\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFlags, kFontBold | kFontItalic);

    WriteIni("[MainWindow]\nFont=Arial,10,0,00\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFlags, 0);
}

TEST_F(LoadSettingsTest, FontSizeAndCharacterSetKeepTheirLow8Bits) {
    WriteIni("[MainWindow]\nFont=Arial,266,0,0,460\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontSize, 10);
    EXPECT_EQ(settings_.fontCharSet, 204);

    WriteIni("[MainWindow]\nFont=Arial,-1,0,0,99999999999\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontSize, 255);
    EXPECT_EQ(settings_.fontCharSet, 255);
}

TEST_F(LoadSettingsTest, FontFieldsThatAreNoNumbersKeepTheirPart) {
    settings_.fontSize = 9;
    settings_.fontCharSet = 161;
    WriteIni("[MainWindow]\nFont=Arial,big,yes,1,greek\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontFace.View(), "Arial");
    EXPECT_EQ(settings_.fontSize, 9);
    EXPECT_EQ(settings_.fontFlags, kFontItalic);
    EXPECT_EQ(settings_.fontCharSet, 161);
}

TEST_F(LoadSettingsTest, NumbersThatCannotBeReadKeepZeroAtStartUp) {
    WriteIni("[Config]\nDelayIO=abc\nDelayPowerUp=\nPulsePGM=-\nPulseFix= x5\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.delayIO, 0);
    EXPECT_EQ(settings_.delayPowerUp, 0);
    EXPECT_EQ(settings_.pulsePGM, 0);
    EXPECT_EQ(settings_.pulseFix, 0);
}

TEST_F(LoadSettingsTest, NumbersThatCannotBeReadKeepThePreviousValue) {
    settings_.delayIO = 7;
    settings_.pulseFix = 150;
    WriteIni("[Config]\nDelayIO=fast\nPulseFix=slow\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.delayIO, 7);
    EXPECT_EQ(settings_.pulseFix, 150);
    EXPECT_EQ(settings_.delayPowerUp, 200);
}

TEST_F(LoadSettingsTest, NumbersAreReadAsByPercentD) {
    WriteIni("[Config]\nDelayIO=  -3\nDelayPowerUp=250ms\nPulsePGM=+15\nPulseFix=99999999999\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.delayIO, -3);
    EXPECT_EQ(settings_.delayPowerUp, 250);
    EXPECT_EQ(settings_.pulsePGM, 15);
    EXPECT_EQ(settings_.pulseFix, std::numeric_limits<std::int32_t>::max());
}

TEST_F(LoadSettingsTest, TextsLongerThanTheirFieldAreCut) {
    const std::string longText(100, 'x');
    WriteIni("[Config]\nLanguage=" + longText + "\nPlugin=" + longText + "\nPort=" + longText +
             "\n[MainWindow]\nFont=" + longText + ",12\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.pluginName.View(), std::string(63, 'x'));
    EXPECT_EQ(settings_.portName.View(), std::string(15, 'x'));
    EXPECT_EQ(settings_.language.View(), std::string(31, 'x'));
    EXPECT_EQ(settings_.fontFace.View(), std::string(31, 'x'));
    EXPECT_EQ(settings_.fontSize, 12);
}

TEST_F(LoadSettingsTest, OnlyThe127FirstCharactersOfAValueCount) {
    WriteIni("[Config]\nDelayIO=" + std::string(126, '0') + "5\nDelayPowerUp=" + std::string(127, '0') +
             "5\n[MainWindow]\nFont=" + std::string(124, 'f') + ",14\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.delayIO, 5);
    EXPECT_EQ(settings_.delayPowerUp, 0);
    EXPECT_EQ(settings_.fontSize, 14);

    WriteIni("[MainWindow]\nFont=" + std::string(125, 'f') + ",14\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.fontSize, 1);
}

TEST_F(LoadSettingsTest, TextsEndAtAZeroByteAndKeepOtherBytes) {
    using namespace std::string_literals;
    WriteIni("[Config]\nLanguage=Eng\0lish\nPort=\xE9t\xE9\xFF\n"s);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.language.View(), "Eng");
    EXPECT_EQ(settings_.portName.View(), "\xE9t\xE9\xFF");
}

TEST_F(LoadSettingsTest, BadBytesSpoilOnlyTheLinesTheyAreIn) {
    using namespace std::string_literals;
    WriteIni(
        "\xFF\xFE\0\x80\n[Config]\n\0\xC3\x28 garbage\nDelay\0IO=9\nDelayPowerUp=50\n\xE2\x82=\xFF\n"
        "[Main\xFFWindow]\nSize=1,2\n[MainWindow]\nSize=800,600\n\xFF"s);
    ASSERT_TRUE(Load());
    AppSettings expected = Defaults();
    expected.delayPowerUp = 50;
    expected.windowWidth = 800;
    expected.windowHeight = 600;
    EXPECT_EQ(settings_, expected);
}

TEST_F(LoadSettingsTest, KeysAfterAHundredKilobyteLineAreRead) {
    const std::string longLine(100 * 1024, '9');
    WriteIni("[Config]\n" + longLine + "\nDelayIO=" + longLine +
             "\nPulsePGM=30\n[MainWindow]\nFont=" + longLine + "\nSize=800,600\n");
    ASSERT_TRUE(Load());
    AppSettings expected = Defaults();
    expected.delayIO = std::numeric_limits<std::int32_t>::max();
    expected.pulsePGM = 30;
    expected.fontFace.Set(longLine);
    // A Font value without a size field leaves the size as it was before loading.
    expected.fontSize = 0;
    expected.windowWidth = 800;
    expected.windowHeight = 600;
    EXPECT_EQ(settings_, expected);
}

TEST_F(LoadSettingsTest, AMissingSectionGivesItsDefaults) {
    WriteIni("[MainWindow]\nSize=800,600\n");
    ASSERT_TRUE(Load());
    AppSettings expected = Defaults();
    expected.windowWidth = 800;
    expected.windowHeight = 600;
    EXPECT_EQ(settings_, expected);

    WriteIni("[Config]\nDelayIO=3\n");
    settings_ = AppSettings();
    ASSERT_TRUE(Load());
    expected = Defaults();
    expected.delayIO = 3;
    EXPECT_EQ(settings_, expected);
}

// The file as the program writes it, cut off within a section name, a key and a value.
TEST_F(LoadSettingsTest, TruncatedFileGivesDefaultsForWhatIsCutOff) {
    AppSettings saved = Defaults();
    saved.language.Set("Deutsch");
    saved.delayIO = 3;
    saved.pulseFix = 100;
    saved.windowWidth = 800;
    saved.windowHeight = 600;
    const std::string whole = FormatSettingsFile(saved);
    const auto cutBefore = [&whole](std::string_view text, std::size_t keep) {
        return whole.substr(0, whole.find(text) + keep);
    };

    WriteIni(cutBefore("[MainWindow]", 5));
    ASSERT_TRUE(Load());
    AppSettings expected = saved;
    expected.windowWidth = 0;
    expected.windowHeight = 0;
    EXPECT_EQ(settings_, expected);

    WriteIni(cutBefore("PulseFix=", 5));
    settings_ = AppSettings();
    ASSERT_TRUE(Load());
    expected.pulseFix = 200;
    EXPECT_EQ(settings_, expected);

    WriteIni(cutBefore("Size=800", 7));
    settings_ = AppSettings();
    ASSERT_TRUE(Load());
    expected = saved;
    expected.windowWidth = 80;
    expected.windowHeight = 0;
    EXPECT_EQ(settings_, expected);
}

TEST_F(LoadSettingsTest, ListResizeOf2MeansOff) {
    store_.WriteInt(kSettingsSection, "ListResize", 2);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.options & kOptionListResize, 0u);
}

TEST_F(LoadSettingsTest, SingleBitOptionsTakeTheirLowestBit) {
    store_.WriteInt(kSettingsSection, "EnableItemTips", 3);
    store_.WriteInt(kSettingsSection, "EditOnError", -2);
    store_.WriteInt(kSettingsSection, "ConfirmProgram", 4);
    store_.WriteInt(kSettingsSection, "ConfirmVerify", -1);
    ASSERT_TRUE(Load());
    EXPECT_NE(settings_.options & kOptionEnableItemTips, 0u);
    EXPECT_EQ(settings_.options & kOptionEditOnError, 0u);
    EXPECT_EQ(settings_.options & kOptionConfirmProgram, 0u);
    EXPECT_NE(settings_.options & kOptionConfirmVerify, 0u);
    EXPECT_EQ(settings_.options & ~kOptionsMask, 0u);
}

TEST_F(LoadSettingsTest, AlignNameTakesItsLowestTwoBits) {
    store_.WriteInt(kSettingsSection, "AlignName", 6);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.options & kOptionAlignNameMask, 2u);

    store_.WriteInt(kSettingsSection, "AlignName", -1);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.options & kOptionAlignNameMask, 3u);
    EXPECT_NE(settings_.options & kOptionListResize, 0u);
}

TEST_F(LoadSettingsTest, MemoryInitKeepsItsLow8Bits) {
    store_.WriteInt(kSettingsSection, "MemoryInit", 511);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.memoryInit, 255);

    store_.WriteInt(kSettingsSection, "MemoryInit", -256);
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.memoryInit, 0);
}

TEST_F(LoadSettingsTest, MruSizeIsClampedToTheListsRange) {
    const std::pair<int, int> cases[] = {
        {0, 0}, {24, 24}, {25, 24}, {1000, 24}, {-1, 0}, {std::numeric_limits<int>::min(), 0}, {12, 12}};
    for (const auto& [stored, expected] : cases) {
        store_.WriteInt(kSettingsSection, "MRU", stored);
        ASSERT_TRUE(Load());
        EXPECT_EQ(settings_.mruSize, expected) << stored;
    }
}

TEST_F(LoadSettingsTest, UnreadableWorkingDirectoryReadsOnlyTheStore) {
    store_.WriteInt(kSettingsSection, "MRU", 5);
    const std::filesystem::path doomed = directory_.Path() / "doomed";
    std::filesystem::create_directory(doomed);
    const test::ScopedWorkingDirectory there(doomed);
    std::filesystem::remove(doomed);

    EXPECT_FALSE(Load());
    EXPECT_EQ(settings_.mruSize, 5);
    EXPECT_EQ(settings_.options, kDefaultOptions);
    EXPECT_EQ(settings_.language.View(), "");
    EXPECT_EQ(settings_.delayPowerUp, 0);
}

TEST_F(LoadSettingsTest, SettingsFileBelongsToTheWorkingDirectory) {
    WriteIni("[Config]\nLanguage=Deutsch\nDelayIO=9\n[MainWindow]\nSize=800,600\n");
    ASSERT_TRUE(Load());
    ASSERT_EQ(settings_.language.View(), "Deutsch");

    const test::TempDirectory elsewhere;
    const test::ScopedWorkingDirectory there(elsewhere.Path());
    AppSettings fresh;
    ASSERT_TRUE(LoadSettings(fresh, store_, kExecutable));
    EXPECT_EQ(fresh, Defaults());
}

TEST_F(LoadSettingsTest, ADirectoryInPlaceOfTheFileGivesDefaults) {
    std::filesystem::create_directory(IniPath());
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_, Defaults());
}

TEST_F(LoadSettingsTest, TheFileIsNamedAfterTheExecutable) {
    directory_.Write("other.ini", "[Config]\nLanguage=Deutsch\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.language.View(), "English");
    ASSERT_TRUE(LoadSettings(settings_, store_, "other"));
    EXPECT_EQ(settings_.language.View(), "Deutsch");
}

}  // namespace
}  // namespace tessaly
