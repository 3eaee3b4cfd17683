#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SettingsTestFixture.h"
#include "settings/AppSettings.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsFile.h"

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

// The file the defaults give, with the lines of the given keys ("Key=value", one a line) replaced.
std::string DefaultFileWith(const std::string& lines) {
    std::string file = FormatSettingsFile(Defaults());
    std::istringstream stream(lines);
    for (std::string line; std::getline(stream, line);) {
        const std::size_t at = file.find("\n" + line.substr(0, line.find('=') + 1)) + 1;
        file.replace(at, file.find('\n', at) - at, line);
    }
    return file;
}

// A settings file (none when empty) loaded into the record as start-up leaves it, or as loading `before`
// leaves it, gives the default file with the `changed` lines.
struct FileCase {
    const char* what;
    std::string ini;
    std::string changed;
    std::string before = "";
};

std::string Window(const std::string& keys) {
    return "[MainWindow]\n" + keys + "\n";
}
std::string Config(const std::string& keys) {
    return "[Config]\n" + keys + "\n";
}

std::vector<FileCase> FileCases() {
    using namespace std::string_literals;
    const std::string x100(100, 'x');
    const std::string x31(31, 'x');
    const std::string longLine(100 * 1024, '9');
    AppSettings saved = Defaults();
    saved.language.Set("Deutsch");
    saved.delayIO = 3;
    saved.pulseFix = 100;
    saved.windowWidth = 800;
    saved.windowHeight = 600;
    const std::string whole = FormatSettingsFile(saved);
    const auto cut = [&whole](std::string_view text, std::size_t keep) {
        return whole.substr(0, whole.find(text) + keep);
    };
    return {
        {"no file", "", ""},
        {"every key",
         Config(
             "Language=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=3\nDelayPowerUp=50\nPulsePGM=10\n"
             "PulseFix=100") +
             Window("Size=800,600\nFont=Arial,12,1,1,204"),
         "Language=Deutsch\nPlugin=sim.so\nPort=/dev/ttyUSB0\nDelayIO=3\nDelayPowerUp=50\nPulsePGM=10\n"
         "PulseFix=100\nSize=800,600\nFont=Arial,12,1,1,204"},
        {"size of zero", Window("Size=0,600"), "Size=0,600"},
        {"size that is no number", Window("Size=wide, 700 px"), "Size=640,700", Window("Size=640,480")},
        {"size without a height", Window("Size=1024"), "Size=1024,480", Window("Size=640,480")},
        {"font with only a face", Window("Font=Arial"), "Font=Arial,14,1,1,238", Window("Font=X,14,1,1,238")},
        {"font with an empty face", Window("Font=,14"), "Font=,14,0,0,0"},
        {"no font keeps the character set", "", "Font=Courier New,10,0,0,204", Window("Font=X,14,1,1,204")},
        {"font styles not zero", Window("Font=Arial,10,5,-1"), "Font=Arial,10,1,1,0"},
        {"font styles zero", Window("Font=Arial,10,0,00"), "Font=Arial,10,0,0,0", Window("Font=X,10,1,1")},
        {"font numbers keep 8 bits", Window("Font=Arial,266,0,0,460"), "Font=Arial,10,0,0,204"},
        {"font numbers overflow", Window("Font=Arial,-1,0,0,99999999999"), "Font=Arial,255,0,0,255"},
        {"font fields that are no numbers", Window("Font=Arial,big,yes,1,greek"), "Font=Arial,9,0,1,161",
         Window("Font=X,9,0,0,161")},
        {"unreadable numbers at start-up", Config("DelayIO=abc\nDelayPowerUp=\nPulsePGM=-\nPulseFix= x5"),
         "DelayIO=0\nDelayPowerUp=0\nPulsePGM=0\nPulseFix=0"},
        {"unreadable numbers keep the value", Config("DelayIO=fast\nPulseFix=slow"),
         "DelayIO=7\nPulseFix=150", Config("DelayIO=7\nPulseFix=150")},
        {"numbers read as by %d",
         Config("DelayIO=  -3\nDelayPowerUp=250ms\nPulsePGM=+15\nPulseFix=99999999999"),
         "DelayIO=-3\nDelayPowerUp=250\nPulsePGM=15\nPulseFix=2147483647"},
        {"texts longer than their field",
         Config("Language=" + x100 + "\nPlugin=" + x100 + "\nPort=" + x100) + Window("Font=" + x100 + ",12"),
         "Language=" + x31 + "\nPlugin=" + std::string(63, 'x') + "\nPort=" + x100.substr(0, 15) +
             "\nFont=" + x31 + ",12,0,0,0"},
        {"only 127 characters of a value count",
         Config("DelayIO=" + std::string(126, '0') + "5\nDelayPowerUp=" + std::string(127, '0') + "5") +
             Window("Font=" + std::string(124, 'x') + ",14"),
         "DelayIO=5\nDelayPowerUp=0\nFont=" + x31 + ",14,0,0,0"},
        {"a size beyond 127 characters", Window("Font=" + std::string(125, 'x') + ",14"),
         "Font=" + x31 + ",1,0,0,0"},
        {"texts end at a zero byte", Config("Language=Eng\0lish\nPort=\xE9t\xE9\xFF"s),
         "Language=Eng\nPort=\xE9t\xE9\xFF"},
        {"bad bytes spoil only their lines",
         "\xFF\xFE\0\x80\n[Config]\n\0\xC3\x28 garbage\nDelay\0IO=9\nDelayPowerUp=50\n\xE2\x82=\xFF\n"
         "[Main\xFFWindow]\nSize=1,2\n[MainWindow]\nSize=800,600\n\xFF"s,
         "DelayPowerUp=50\nSize=800,600"},
        // A Font value without a size field leaves the size as it was before loading.
        {"keys after a 100 KiB line",
         Config(longLine + "\nDelayIO=" + longLine + "\nPulsePGM=30") +
             Window("Font=" + longLine + "\nSize=800,600"),
         "DelayIO=2147483647\nPulsePGM=30\nFont=" + longLine.substr(0, 31) + ",0,0,0,0\nSize=800,600"},
        {"no Config section", Window("Size=800,600"), "Size=800,600"},
        {"no MainWindow section", Config("DelayIO=3"), "DelayIO=3"},
        {"cut in a section name", cut("[MainWindow]", 5), "Language=Deutsch\nDelayIO=3\nPulseFix=100"},
        {"cut in a key", cut("PulseFix=", 5), "Language=Deutsch\nDelayIO=3"},
        {"cut in a value", cut("Size=800", 7), "Language=Deutsch\nDelayIO=3\nPulseFix=100\nSize=80,0"},
    };
}

TEST_F(LoadSettingsTest, EachFileGivesItsRecord) {
    for (const FileCase& c : FileCases()) {
        SCOPED_TRACE(c.what);
        settings_ = AppSettings();
        if (!c.before.empty()) {
            WriteIni(c.before);
            ASSERT_TRUE(Load());
        }
        std::filesystem::remove(IniPath());
        if (!c.ini.empty()) {
            WriteIni(c.ini);
        }
        ASSERT_TRUE(Load());
        EXPECT_EQ(FormatSettingsFile(settings_), DefaultFileWith(c.changed));
    }
}

TEST_F(LoadSettingsTest, EachStoreValueGivesItsField) {
    struct StoreCase {
        std::vector<std::pair<const char*, int>> values;
        int mruSize;
        int memoryInit;
        std::uint32_t options;
    };
    const StoreCase cases[] = {
        {{}, 8, 255, kDefaultOptions},
        {{{"MRU", 4},
          {"MemoryInit", 0},
          {"ListResize", 0},
          {"AlignName", 1},
          {"EnableItemTips", 0},
          {"EditOnError", 0},
          {"ConfirmProgram", 0},
          {"ConfirmVerify", 1}},
         4,
         0,
         1u | kOptionConfirmVerify},
        {{{"ListResize", 2}}, 8, 255, kDefaultOptions & ~kOptionListResize},
        // Single-bit options take their lowest bit, AlignName its lowest two and MemoryInit its low 8.
        {{{"EnableItemTips", 3}, {"EditOnError", -2}, {"ConfirmProgram", 4}, {"ConfirmVerify", -1}},
         8,
         255,
         kOptionListResize | kOptionEnableItemTips | kOptionConfirmVerify},
        {{{"AlignName", 6}, {"MemoryInit", 511}}, 8, 255, kDefaultOptions | 2u},
        {{{"AlignName", -1}, {"MemoryInit", -256}}, 8, 0, kDefaultOptions | 3u},
        {{{"MRU", 24}}, 24, 255, kDefaultOptions},
        {{{"MRU", 25}}, 24, 255, kDefaultOptions},
        {{{"MRU", 0}}, 0, 255, kDefaultOptions},
        {{{"MRU", -1}}, 0, 255, kDefaultOptions},
        {{{"MRU", std::numeric_limits<int>::min()}}, 0, 255, kDefaultOptions},
    };
    for (const StoreCase& c : cases) {
        test::MemoryProfileStore store;
        for (const auto& [key, value] : c.values) {
            store.WriteInt(kSettingsSection, key, value);
        }
        AppSettings loaded;
        ASSERT_TRUE(LoadSettings(loaded, store, kExecutable));
        const std::string trace = c.values.empty() ? "" : c.values.front().first;
        EXPECT_EQ(loaded.mruSize, c.mruSize) << trace;
        EXPECT_EQ(loaded.memoryInit, c.memoryInit) << trace;
        EXPECT_EQ(loaded.options, c.options) << trace;
    }
}

TEST_F(LoadSettingsTest, WithoutFileOrStoreEveryFieldTakesItsDefaultAndNothingIsWritten) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_, Defaults());
    EXPECT_TRUE(store_.Writes().empty());
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
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
