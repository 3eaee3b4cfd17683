#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

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

using Edit = std::function<void(AppSettings&)>;

// A settings file (none when empty) and store values loaded into a record first changed by `before`; the
// result must be the defaults changed by `expected`.
struct LoadCase {
    const char* name;
    std::string ini;
    std::vector<std::pair<const char*, int>> store = {};
    Edit before = nullptr;
    Edit expected = nullptr;
};

void SetFont(AppSettings& s, std::string_view face, int size, int flags, int charSet) {
    s.fontFace.Set(face);
    s.fontSize = size;
    s.fontFlags = flags;
    s.fontCharSet = charSet;
}

void SetDelays(AppSettings& s, int io, int powerUp, int pgm, int fix) {
    s.delayIO = io;
    s.delayPowerUp = powerUp;
    s.pulsePGM = pgm;
    s.pulseFix = fix;
}

void SetSize(AppSettings& s, int width, int height) {
    s.windowWidth = width;
    s.windowHeight = height;
}

std::vector<LoadCase> FileCases() {
    using namespace std::string_literals;
    const std::string longText(100, 'x');
    const std::string longLine(100 * 1024, '9');
    return {
        {"no file or store", ""},
        {"every key of the file",
         "[Config]\nLanguage=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=3\nDelayPowerUp=50\n"
         "PulsePGM=10\nPulseFix=100\n[MainWindow]\nSize=800,600\nFont=Arial,12,1,1,204\n",
         {},
         {},
         [](AppSettings& s) {
             s.language.Set("Deutsch");
             s.pluginName.Set("sim.so");
             s.portName.Set("/dev/ttyUSB0");
             SetDelays(s, 3, 50, 10, 100);
             SetSize(s, 800, 600);
             SetFont(s, "Arial", 12, kFontBold | kFontItalic, 204);
         }},
        {"every value of the store",
         "",
         {{"MRU", 4},
          {"MemoryInit", 0},
          {"ListResize", 0},
          {"AlignName", 1},
          {"EnableItemTips", 0},
          {"EditOnError", 0},
          {"ConfirmProgram", 0},
          {"ConfirmVerify", 1}},
         {},
         [](AppSettings& s) {
             s.mruSize = 4;
             s.memoryInit = 0;
             s.options = 1u | kOptionConfirmVerify;
         }},
        {"size of zero", "[MainWindow]\nSize=0,600\n", {}, {}, [](AppSettings& s) { SetSize(s, 0, 600); }},
        {"size fields missing or no numbers keep their value",
         "[MainWindow]\nSize=wide, 700 px\n",
         {},
         [](AppSettings& s) { SetSize(s, 640, 480); },
         [](AppSettings& s) { SetSize(s, 640, 700); }},
        {"size with one field",
         "[MainWindow]\nSize=1024\n",
         {},
         [](AppSettings& s) { SetSize(s, 640, 480); },
         [](AppSettings& s) { SetSize(s, 1024, 480); }},
        {"font with only a face",
         "[MainWindow]\nFont=Arial\n",
         {},
         [](AppSettings& s) { SetFont(s, "", 14, kFontBold | kFontItalic, 238); },
         [](AppSettings& s) { SetFont(s, "Arial", 14, kFontBold | kFontItalic, 238); }},
        {"font with an empty face",
         "[MainWindow]\nFont=,14\n",
         {},
         {},
         [](AppSettings& s) { SetFont(s, "", 14, 0, 0); }},
        {"missing font keeps the character set and clears the style",
         "",
         {},
         [](AppSettings& s) { SetFont(s, "", 0, kFontBold | kFontItalic, 204); },
         [](AppSettings& s) { s.fontCharSet = 204; }},
        {"font styles count as not zero",
         "[MainWindow]\nFont=Arial,10,5,-1\n",
         {},
         {},
         [](AppSettings& s) { SetFont(s, "Arial", 10, kFontBold | kFontItalic, 0); }},
        {"font styles count as zero",
         "[MainWindow]\nFont=Arial,10,0,00\n",
         {},
         [](AppSettings& s) { s.fontFlags = kFontBold | kFontItalic; },
         [](AppSettings& s) { SetFont(s, "Arial", 10, 0, 0); }},
        {"font numbers keep their low 8 bits",
         "[MainWindow]\nFont=Arial,266,0,0,460\n",
         {},
         {},
         [](AppSettings& s) { SetFont(s, "Arial", 10, 0, 204); }},
        {"font numbers that overflow",
         "[MainWindow]\nFont=Arial,-1,0,0,99999999999\n",
         {},
         {},
         [](AppSettings& s) { SetFont(s, "Arial", 255, 0, 255); }},
        {"font fields that are no numbers keep their part",
         "[MainWindow]\nFont=Arial,big,yes,1,greek\n",
         {},
         [](AppSettings& s) { SetFont(s, "", 9, 0, 161); },
         [](AppSettings& s) { SetFont(s, "Arial", 9, kFontItalic, 161); }},
        {"unreadable numbers keep zero at start-up",
         "[Config]\nDelayIO=abc\nDelayPowerUp=\nPulsePGM=-\nPulseFix= x5\n",
         {},
         {},
         [](AppSettings& s) { SetDelays(s, 0, 0, 0, 0); }},
        {"unreadable numbers keep the previous value",
         "[Config]\nDelayIO=fast\nPulseFix=slow\n",
         {},
         [](AppSettings& s) { SetDelays(s, 7, 0, 0, 150); },
         [](AppSettings& s) { SetDelays(s, 7, 200, 20, 150); }},
        {"numbers are read as by %d",
         "[Config]\nDelayIO=  -3\nDelayPowerUp=250ms\nPulsePGM=+15\nPulseFix=99999999999\n",
         {},
         {},
         [](AppSettings& s) { SetDelays(s, -3, 250, 15, std::numeric_limits<std::int32_t>::max()); }},
        {"texts longer than their field are cut",
         "[Config]\nLanguage=" + longText + "\nPlugin=" + longText + "\nPort=" + longText +
             "\n[MainWindow]\nFont=" + longText + ",12\n",
         {},
         {},
         [](AppSettings& s) {
             s.pluginName.Set(std::string(63, 'x'));
             s.portName.Set(std::string(15, 'x'));
             s.language.Set(std::string(31, 'x'));
             SetFont(s, std::string(31, 'x'), 12, 0, 0);
         }},
        {"only the first 127 characters of a value count",
         "[Config]\nDelayIO=" + std::string(126, '0') + "5\nDelayPowerUp=" + std::string(127, '0') +
             "5\n[MainWindow]\nFont=" + std::string(124, 'f') + ",14\n",
         {},
         {},
         [](AppSettings& s) {
             s.delayIO = 5;
             s.delayPowerUp = 0;
             SetFont(s, std::string(31, 'f'), 14, 0, 0);
         }},
        {"a size beyond 127 characters is cut",
         "[MainWindow]\nFont=" + std::string(125, 'f') + ",14\n",
         {},
         {},
         [](AppSettings& s) { SetFont(s, std::string(31, 'f'), 1, 0, 0); }},
        {"texts end at a zero byte and keep other bytes",
         "[Config]\nLanguage=Eng\0lish\nPort=\xE9t\xE9\xFF\n"s,
         {},
         {},
         [](AppSettings& s) {
             s.language.Set("Eng");
             s.portName.Set("\xE9t\xE9\xFF");
         }},
        {"bad bytes spoil only the lines they are in",
         "\xFF\xFE\0\x80\n[Config]\n\0\xC3\x28 garbage\nDelay\0IO=9\nDelayPowerUp=50\n\xE2\x82=\xFF\n"
         "[Main\xFFWindow]\nSize=1,2\n[MainWindow]\nSize=800,600\n\xFF"s,
         {},
         {},
         [](AppSettings& s) {
             s.delayPowerUp = 50;
             SetSize(s, 800, 600);
         }},
        // A Font value without a size field leaves the size as it was before loading.
        {"keys after a hundred kilobyte line are read",
         "[Config]\n" + longLine + "\nDelayIO=" + longLine + "\nPulsePGM=30\n[MainWindow]\nFont=" + longLine +
             "\nSize=800,600\n",
         {},
         {},
         [longLine](AppSettings& s) {
             s.delayIO = std::numeric_limits<std::int32_t>::max();
             s.pulsePGM = 30;
             SetFont(s, longLine, 0, 0, 0);
             SetSize(s, 800, 600);
         }},
        {"missing Config section",
         "[MainWindow]\nSize=800,600\n",
         {},
         {},
         [](AppSettings& s) { SetSize(s, 800, 600); }},
        {"missing MainWindow section",
         "[Config]\nDelayIO=3\n",
         {},
         {},
         [](AppSettings& s) { s.delayIO = 3; }},
        {"ListResize of 2 means off",
         "",
         {{"ListResize", 2}},
         {},
         [](AppSettings& s) { s.options &= ~kOptionListResize; }},
        {"single-bit options take their lowest bit",
         "",
         {{"EnableItemTips", 3}, {"EditOnError", -2}, {"ConfirmProgram", 4}, {"ConfirmVerify", -1}},
         {},
         [](AppSettings& s) {
             s.options = kOptionListResize | kOptionEnableItemTips | kOptionConfirmVerify;
         }},
        {"AlignName takes its lowest two bits",
         "",
         {{"AlignName", 6}},
         {},
         [](AppSettings& s) { s.options |= 2u; }},
        {"AlignName of -1", "", {{"AlignName", -1}}, {}, [](AppSettings& s) { s.options |= 3u; }},
        {"MemoryInit keeps its low 8 bits",
         "",
         {{"MemoryInit", 511}},
         {},
         [](AppSettings& s) { s.memoryInit = 255; }},
        {"MemoryInit below zero", "", {{"MemoryInit", -256}}, {}, [](AppSettings& s) { s.memoryInit = 0; }},
    };
}

TEST_F(LoadSettingsTest, EachFileAndStoreGivesItsRecord) {
    for (const LoadCase& c : FileCases()) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(IniPath());
        if (!c.ini.empty()) {
            WriteIni(c.ini);
        }
        test::MemoryProfileStore store;
        for (const auto& [key, value] : c.store) {
            store.WriteInt(kSettingsSection, key, value);
        }
        AppSettings loaded;
        if (c.before) {
            c.before(loaded);
        }
        ASSERT_TRUE(LoadSettings(loaded, store, kExecutable));
        AppSettings expected = Defaults();
        if (c.expected) {
            c.expected(expected);
        }
        EXPECT_EQ(loaded, expected);
    }
}

TEST_F(LoadSettingsTest, LoadingOnlyReadsTheStore) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(store_.Writes().empty());
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

// The file as the program writes it, cut off within a section name, a key and a value.
TEST_F(LoadSettingsTest, TruncatedFileGivesDefaultsForWhatIsCutOff) {
    AppSettings saved = Defaults();
    saved.language.Set("Deutsch");
    SetDelays(saved, 3, 200, 20, 100);
    SetSize(saved, 800, 600);
    const std::string whole = FormatSettingsFile(saved);
    const std::tuple<std::string_view, std::size_t, Edit> cuts[] = {
        {"[MainWindow]", 5, [](AppSettings& s) { SetSize(s, 0, 0); }},
        {"PulseFix=", 5,
         [](AppSettings& s) {
             SetSize(s, 0, 0);
             s.pulseFix = 200;
         }},
        {"Size=800", 7, [](AppSettings& s) { SetSize(s, 80, 0); }},
    };
    for (const auto& [text, keep, edit] : cuts) {
        SCOPED_TRACE(text);
        WriteIni(whole.substr(0, whole.find(text) + keep));
        settings_ = AppSettings();
        ASSERT_TRUE(Load());
        AppSettings expected = saved;
        edit(expected);
        EXPECT_EQ(settings_, expected);
    }
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
