#include "settings/SettingsFile.h"

#include <cstdint>
#include <string_view>

#include "settings/ParseInt.h"
#include "text/ExtractField.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {

namespace {

constexpr std::string_view kConfig = "Config";
constexpr std::string_view kMainWindow = "MainWindow";

std::string GetValue(const ProfileFile& file, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
    return file.GetString(section, key, defaultValue, kSettingsValueBufferSize);
}

void ReadNumber(const ProfileFile& file, std::string_view key, std::string_view defaultValue,
                std::int32_t& number) {
    ParseInt(GetValue(file, kConfig, key, defaultValue), number);
}

// Field n of a comma-separated value as a number; false when the field is missing or holds no number.
bool ReadNumberField(std::string_view value, std::size_t n, std::int32_t& number) {
    std::string field;
    return ExtractField(value, ',', n, field) && ParseInt(field, number);
}

void ReadByteField(std::string_view value, std::size_t n, std::uint8_t& byte) {
    std::int32_t number = 0;
    if (ReadNumberField(value, n, number)) {
        byte = static_cast<std::uint8_t>(number);
    }
}

void ReadFlagField(std::string_view value, std::size_t n, std::uint8_t flag, std::uint8_t& flags) {
    std::int32_t number = 0;
    if (ReadNumberField(value, n, number)) {
        flags = static_cast<std::uint8_t>(number != 0 ? flags | flag : flags & ~flag);
    }
}

void ReadWindowSize(std::string_view value, AppSettings& settings) {
    ReadNumberField(value, 0, settings.windowWidth);
    ReadNumberField(value, 1, settings.windowHeight);
}

void ReadFont(std::string_view value, AppSettings& settings) {
    std::string face;
    if (ExtractField(value, ',', 0, face)) {
        settings.fontFace.Set(face);
    }
    ReadByteField(value, 1, settings.fontSize);
    ReadFlagField(value, 2, kFontBold, settings.fontFlags);
    ReadFlagField(value, 3, kFontItalic, settings.fontFlags);
    ReadByteField(value, 4, settings.fontCharSet);
}

void ReadHexView(std::string_view value, AppSettings& settings) {
    std::int32_t shown = 0;
    if (ParseInt(value, shown)) {
        settings.options =
            shown != 0 ? settings.options | kOptionHexView : settings.options & ~kOptionHexView;
    }
}

std::string_view FirstLine(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

void AppendKey(std::string& file, std::string_view key, std::string_view value) {
    file.append(key).append("=").append(FirstLine(value)).append("\n");
}

int FlagNumber(std::uint8_t flags, std::uint8_t flag) {
    return (flags & flag) != 0 ? 1 : 0;
}

std::string FormatFont(const AppSettings& settings) {
    std::string font(settings.fontFace.View());
    for (const int number : {int{settings.fontSize}, FlagNumber(settings.fontFlags, kFontBold),
                             FlagNumber(settings.fontFlags, kFontItalic), int{settings.fontCharSet}}) {
        font.append(",").append(std::to_string(number));
    }
    return font;
}

}  // namespace

void ReadSettingsFile(const ProfileFile& file, AppSettings& settings) {
    settings.language.Set(GetValue(file, kConfig, "Language", kDefaultLanguage));
    settings.portName.Set(GetValue(file, kConfig, "Port", GetMessageText(msg::kNone)));
    settings.pluginName.Set(GetValue(file, kConfig, "Plugin", GetMessageText(msg::kNone)));
    ReadNumber(file, "DelayIO", kDefaultDelayIO, settings.delayIO);
    ReadNumber(file, "DelayPowerUp", kDefaultDelayPowerUp, settings.delayPowerUp);
    ReadNumber(file, "PulsePGM", kDefaultPulsePGM, settings.pulsePGM);
    ReadNumber(file, "PulseFix", kDefaultPulseFix, settings.pulseFix);
    ReadWindowSize(GetValue(file, kMainWindow, "Size", kDefaultSize), settings);
    ReadFont(GetValue(file, kMainWindow, "Font", kDefaultFont), settings);
    ReadHexView(GetValue(file, kMainWindow, "HexView", kDefaultHexView), settings);
}

std::string FormatSettingsFile(const AppSettings& settings) {
    std::string file;
    file.append("[").append(kConfig).append("]\n");
    AppendKey(file, "Language", settings.language.View());
    AppendKey(file, "Plugin", settings.pluginName.View());
    AppendKey(file, "Port", settings.portName.View());
    AppendKey(file, "DelayIO", std::to_string(settings.delayIO));
    AppendKey(file, "DelayPowerUp", std::to_string(settings.delayPowerUp));
    AppendKey(file, "PulsePGM", std::to_string(settings.pulsePGM));
    AppendKey(file, "PulseFix", std::to_string(settings.pulseFix));
    file.append("[").append(kMainWindow).append("]\n");
    AppendKey(file, "Size",
              std::to_string(settings.windowWidth) + "," + std::to_string(settings.windowHeight));
    AppendKey(file, "Font", FormatFont(settings));
    AppendKey(file, "HexView", (settings.options & kOptionHexView) != 0 ? "1" : "0");
    return file;
}

bool WriteSettingsFile(const std::filesystem::path& path, const AppSettings& settings) {
    // The file is rebuilt from nothing, so that keys and sections added by hand are dropped. Deleting it
    // and writing key by key would leave no settings at all after a crash in between; the whole new file
    // replaces the old one in one rename instead, and a failed write keeps the old file.
    return WriteFileAtomically(path, FormatSettingsFile(settings));
}

}  // namespace tessaly
