#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "settings/AppSettings.h"
#include "text/ProfileFile.h"

namespace tessaly {

// Values are read as into a buffer of this many bytes: at most 127 characters of a value count.
inline constexpr std::size_t kSettingsValueBufferSize = 128;

// Reads the hardware, language, window and font settings from the sections "Config" and "MainWindow".
// A missing key takes its default (see AppSettings.h). A number that cannot be read, and a field missing
// from "Size" or "Font", leaves its part of settings as it was. Texts longer than their field are cut.
void ReadSettingsFile(const ProfileFile& file, AppSettings& settings);

// The whole settings file for settings: the section "Config" with "Language", "Plugin", "Port",
// "DelayIO", "DelayPowerUp", "PulsePGM" and "PulseFix", then "MainWindow" with "Size" ("width,height"),
// "Font" ("face,points,bold,italic,charset") and "HexView" (1 shown, 0 hidden), one key a line, LF line ends.
// A text is written up to its first line break, so no value can add lines to the file.
std::string FormatSettingsFile(const AppSettings& settings);

// Replaces the file at path with FormatSettingsFile(settings). Returns false when it cannot be written;
// an existing file is then left as it was.
bool WriteSettingsFile(const std::filesystem::path& path, const AppSettings& settings);

}  // namespace tessaly
