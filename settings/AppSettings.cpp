#include "settings/AppSettings.h"

#include "settings/IniPath.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsFile.h"
#include "text/ProfileFile.h"

namespace tessaly {

bool LoadSettings(AppSettings& settings, const ProfileStore& store, std::string_view executableName) {
    ReadProfileValues(store, settings);
    const std::filesystem::path path = GetIniPath(executableName);
    if (path.empty()) {
        return false;
    }
    // A missing or unreadable file leaves the profile empty, so every key takes its default.
    ProfileFile file;
    file.Load(path);
    ReadSettingsFile(file, settings);
    return true;
}

bool SaveSettings(const AppSettings& settings, ProfileStore& store, std::string_view executableName) {
    WriteProfileValues(settings, store);
    const std::filesystem::path path = GetIniPath(executableName);
    if (path.empty()) {
        return false;
    }
    return WriteSettingsFile(path, settings);
}

}  // namespace tessaly
