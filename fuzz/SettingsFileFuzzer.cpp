// Loads the settings from arbitrary bytes in the settings file, with the profile store answering from the
// same bytes, and checks what every loaded record must satisfy. Then checks that the file written for the
// record holds exactly the two sections and nine keys and reads back to the same numbers.

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "settings/AppSettings.h"
#include "settings/ParseInt.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsFile.h"
#include "text/ProfileFile.h"

namespace {

using tessaly::AppSettings;

constexpr std::string_view kExecutable = "settings";

// Answers from the fuzzed file's own sections (the store's is "Settings"), so that the input chooses the
// stored numbers too. Loading never writes.
class FileProfileStore : public tessaly::ProfileStore {
  public:
    explicit FileProfileStore(std::string text) : file_(std::move(text)) {}

    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override {
        std::int32_t number = defaultValue;
        tessaly::ParseInt(file_.GetString(section, key, "", tessaly::kSettingsValueBufferSize), number);
        return number;
    }

    void WriteInt(std::string_view, std::string_view, int) override { std::abort(); }

    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const override {
        return file_.GetString(section, key, defaultValue, tessaly::kSettingsValueBufferSize);
    }

    void WriteText(std::string_view, std::string_view, std::string_view) override { std::abort(); }
    void RemoveSection(std::string_view) override { std::abort(); }

  private:
    tessaly::ProfileFile file_;
};

std::filesystem::path scratchDirectory;

void RemoveScratchDirectory() {
    std::error_code error;
    std::filesystem::current_path(scratchDirectory.parent_path(), error);
    std::filesystem::remove_all(scratchDirectory, error);
}

// The settings file lives in the working directory, so every run works in a directory of its own.
bool EnterScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    scratchDirectory = pattern;
    std::filesystem::current_path(scratchDirectory);
    std::atexit(RemoveScratchDirectory);
    return true;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <std::size_t N>
void CheckText(const tessaly::FixedText<N>& text) {
    const std::size_t length = std::char_traits<char>::length(text.CStr());
    Check(length < N && text.View().size() == length);
}

void CheckRecord(const AppSettings& settings) {
    CheckText(settings.pluginName);
    CheckText(settings.portName);
    CheckText(settings.language);
    CheckText(settings.fontFace);
    Check(settings.mruSize >= tessaly::kMinMruSize && settings.mruSize <= tessaly::kMaxMruSize);
    Check((settings.options & ~tessaly::kOptionsMask) == 0);
    Check((settings.fontFlags & ~(tessaly::kFontBold | tessaly::kFontItalic)) == 0);
}

std::size_t CountLines(std::string_view text) {
    std::size_t lines = 0;
    for (const char c : text) {
        lines += (c == '\n' || c == '\r') ? 1 : 0;
    }
    return lines;
}

void CheckWrittenFile(const AppSettings& settings) {
    const std::string text = tessaly::FormatSettingsFile(settings);
    Check(CountLines(text) == 12 && text.back() == '\n');
    Check(text.starts_with("[Config]\nLanguage=") && text.find("\n[MainWindow]\nSize=") != std::string::npos);

    AppSettings reread;
    tessaly::ReadSettingsFile(tessaly::ProfileFile(text), reread);
    Check(reread.delayIO == settings.delayIO && reread.delayPowerUp == settings.delayPowerUp);
    Check(reread.pulsePGM == settings.pulsePGM && reread.pulseFix == settings.pulseFix);
    Check(reread.windowWidth == settings.windowWidth && reread.windowHeight == settings.windowHeight);
    Check((reread.options & tessaly::kOptionHexView) == (settings.options & tessaly::kOptionHexView));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool entered = EnterScratchDirectory();
    Check(entered);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(std::string(kExecutable) + ".ini", std::ios::binary | std::ios::trunc) << text;

    const FileProfileStore store(text);
    AppSettings settings;
    Check(tessaly::LoadSettings(settings, store, kExecutable));
    CheckRecord(settings);
    CheckWrittenFile(settings);
    return 0;
}
