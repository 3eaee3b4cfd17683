#pragma once

#include <cstdint>
#include <string_view>

#include "settings/FixedText.h"
#include "settings/ProfileStore.h"

namespace tessaly {

// Bits of AppSettings::options. The alignment of the item list's Name column is a number in the lowest two
// bits: 0 left, 1 centre, 2 right.
inline constexpr std::uint32_t kOptionAlignNameMask = 0x3;
inline constexpr std::uint32_t kOptionListResize = 1u << 2;
inline constexpr std::uint32_t kOptionEnableItemTips = 1u << 3;
inline constexpr std::uint32_t kOptionEditOnError = 1u << 4;
inline constexpr std::uint32_t kOptionConfirmProgram = 1u << 5;
inline constexpr std::uint32_t kOptionConfirmVerify = 1u << 6;
// The hex view beside the item list is shown. A state of the window rather than an option: View > Hex view
// switches it, and it is kept with the window's size and the list font in the settings file.
inline constexpr std::uint32_t kOptionHexView = 1u << 7;
// Program saves the chip's bytes as a backup before it writes.
inline constexpr std::uint32_t kOptionBackupBeforeProgram = 1u << 8;
inline constexpr std::uint32_t kOptionsMask =
    kOptionAlignNameMask | kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
    kOptionConfirmProgram | kOptionConfirmVerify | kOptionBackupBeforeProgram;

// Bits of AppSettings::fontFlags.
inline constexpr std::uint8_t kFontBold = 0x01;
inline constexpr std::uint8_t kFontItalic = 0x02;

// The range of recent-file list sizes; a stored size outside it is clamped into it.
inline constexpr std::int32_t kMinMruSize = 0;
inline constexpr std::int32_t kMaxMruSize = 24;

// Defaults of the profile store's values.
inline constexpr std::int32_t kDefaultMruSize = 8;
inline constexpr std::int32_t kDefaultMemoryInit = 255;
inline constexpr std::int32_t kDefaultAlignName = 0;
inline constexpr std::int32_t kDefaultListResize = 1;
inline constexpr std::int32_t kDefaultEnableItemTips = 1;
inline constexpr std::int32_t kDefaultEditOnError = 1;
inline constexpr std::int32_t kDefaultConfirmProgram = 1;
inline constexpr std::int32_t kDefaultConfirmVerify = 1;
inline constexpr std::int32_t kDefaultBackupBeforeProgram = 1;

// Defaults of the settings file's values. They are texts and go through the same parsing as stored
// values; pluginName and portName default to the text of message msg::kNone. The font default has four
// fields only, so a missing "Font" key leaves the character set as it was.
inline constexpr std::string_view kDefaultLanguage = "English";
inline constexpr std::string_view kDefaultDelayIO = "1";
inline constexpr std::string_view kDefaultDelayPowerUp = "200";
inline constexpr std::string_view kDefaultPulsePGM = "20";
inline constexpr std::string_view kDefaultPulseFix = "200";
inline constexpr std::string_view kDefaultSize = "0,0";
inline constexpr std::string_view kDefaultFont = "Courier New,10,0,0";
inline constexpr std::string_view kDefaultHexView = "0";

// The user's preferences while the program runs. Every field is zero before LoadSettings. Texts are
// zero-terminated byte texts; a longer text is cut to its capacity less the terminator.
struct AppSettings {
    FixedText<64> pluginName;       // plug-in file name, or the text of msg::kNone for none
    FixedText<16> portName;         // port as the plug-in lists it, or the text of msg::kNone for none
    std::int32_t delayIO = 0;       // I/O delay factor handed to the plug-in session
    std::int32_t delayPowerUp = 0;  // milliseconds to wait after powering the device
    std::int32_t pulsePGM = 0;      // milliseconds within which a block's write may be repeated
    std::int32_t pulseFix = 0;      // milliseconds to wait after programming
    FixedText<32> language;
    std::int32_t windowWidth = 0;  // outer size of the main window in pixels; 0 = not set
    std::int32_t windowHeight = 0;
    std::uint8_t fontFlags = 0;  // item list font: kFontBold, kFontItalic
    std::uint8_t fontSize = 0;   // points
    std::uint8_t fontCharSet = 0;
    FixedText<32> fontFace;
    std::int32_t mruSize = 0;     // entries of the recent-file list, kMinMruSize to kMaxMruSize
    std::uint8_t memoryInit = 0;  // fill byte of new memory images
    std::uint32_t options = 0;    // kOption... bits

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// Fills settings from the profile store's section "Settings" and from the settings file
// GetIniPath(executableName). A value missing from the file takes its default; a number that cannot be
// read leaves its field as it was. Returns false, with only the store's values read, when the settings
// file's path cannot be formed.
bool LoadSettings(AppSettings& settings, const ProfileStore& store, std::string_view executableName);

// Writes settings to the profile store and replaces the settings file with one that holds exactly the
// sections "Config" and "MainWindow". Returns true when the file was written; when it was not, an
// existing file is left as it was.
bool SaveSettings(const AppSettings& settings, ProfileStore& store, std::string_view executableName);

}  // namespace tessaly
