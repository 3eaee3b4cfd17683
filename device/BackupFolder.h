#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// How many backups of one template are kept; older ones go after each successful save.
inline constexpr std::size_t kKeptBackups = 50;

// What a save came to: the new file's path, or the reason it could not be written.
struct BackupSave {
    bool saved = false;
    std::filesystem::path path;
    std::string reason;
};

// The folder of one template's chip backups, $XDG_STATE_HOME/tessaly/backups/<template name> (with
// ~/.local/state when the variable is unset), the name being the template file's name up to its first dot,
// as the companion file is named, so that the template's path and its companion file's give one folder. A
// backup holds a unit's raw bytes from its first address on, in "<unit>-<YYYYMMDD-HHMMSS>.bin", with "-2",
// "-3", ... added when the name is taken.
class BackupFolder {
  public:
    explicit BackupFolder(std::filesystem::path directory) : directory_(std::move(directory)) {}
    static BackupFolder ForTemplate(const std::filesystem::path& templatePath);

    const std::filesystem::path& Directory() const { return directory_; }

    // Writes bytes atomically as the unit's newest backup taken at time, then keeps only the newest
    // kKeptBackups files of the folder.
    BackupSave Save(std::string_view unitName, std::span<const std::uint8_t> bytes,
                    std::chrono::system_clock::time_point time) const;
    // The unit's backups, newest first; empty when the folder cannot be read.
    std::vector<std::filesystem::path> List(std::string_view unitName) const;

  private:
    void DropOldest() const;

    std::filesystem::path directory_;
};

}  // namespace tessaly
