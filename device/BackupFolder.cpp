#include "device/BackupFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <system_error>
#include <tuple>

#include "text/WriteFileAtomically.h"

namespace tessaly {
namespace {

constexpr std::string_view kExtension = ".bin";
constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS

// A backup file's name taken apart; a newer backup compares greater.
struct BackupName {
    std::string unit;
    std::string stamp;
    unsigned long sequence = 1;

    auto operator<=>(const BackupName& other) const {
        return std::tie(stamp, sequence) <=> std::tie(other.stamp, other.sequence);
    }
};

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsStamp(std::string_view text) {
    return text.size() == kStampLength && text[8] == '-' && AllDigits(text.substr(0, 8)) &&
           AllDigits(text.substr(9));
}

// "<unit>-<stamp>[-<n>].bin"; nothing for any other name.
std::optional<BackupName> ParseName(std::string_view name) {
    if (!name.ends_with(kExtension)) {
        return std::nullopt;
    }
    name.remove_suffix(kExtension.size());
    BackupName parsed;
    const std::size_t dash = name.rfind('-');
    if (dash != std::string_view::npos && AllDigits(name.substr(dash + 1)) && dash >= kStampLength + 1 &&
        IsStamp(name.substr(dash - kStampLength, kStampLength))) {
        parsed.sequence = std::strtoul(std::string(name.substr(dash + 1)).c_str(), nullptr, 10);
        name = name.substr(0, dash);
    }
    if (name.size() < kStampLength + 2 || !IsStamp(name.substr(name.size() - kStampLength)) ||
        name[name.size() - kStampLength - 1] != '-') {
        return std::nullopt;
    }
    parsed.stamp = name.substr(name.size() - kStampLength);
    parsed.unit = name.substr(0, name.size() - kStampLength - 1);
    return parsed;
}

// A unit name made safe as part of a file name.
std::string FileNamePart(std::string_view unitName) {
    std::string part(unitName);
    std::replace(part.begin(), part.end(), '/', '_');
    return part.empty() ? "unit" : part;
}

std::string Stamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::filesystem::path StateHome() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && *state != '\0') {
        return state;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home == nullptr ? "." : home) / ".local" / "state";
}

struct Listed {
    BackupName name;
    std::filesystem::path path;
};

// Every backup in directory, newest first.
std::vector<Listed> ListAll(const std::filesystem::path& directory) {
    std::vector<Listed> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        if (auto name = ParseName(entry.path().filename().string()); name && entry.is_regular_file(error)) {
            found.push_back({std::move(*name), entry.path()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Listed& a, const Listed& b) { return a.name > b.name; });
    return found;
}

}  // namespace

BackupFolder BackupFolder::ForTemplate(const std::filesystem::path& templatePath) {
    const std::string name = templatePath.filename().string();
    return BackupFolder(StateHome() / "tessaly" / "backups" / name.substr(0, name.find('.')));
}

BackupSave BackupFolder::Save(std::string_view unitName, std::span<const std::uint8_t> bytes,
                              std::chrono::system_clock::time_point time) const {
    BackupSave result;
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error) {
        result.reason = error.message();
        return result;
    }
    const std::string base = FileNamePart(unitName) + "-" + Stamp(time);
    result.path = directory_ / (base + std::string(kExtension));
    for (int sequence = 2; std::filesystem::exists(result.path, error); ++sequence) {
        result.path = directory_ / (base + "-" + std::to_string(sequence) + std::string(kExtension));
    }
    errno = 0;
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileAtomically(result.path, contents)) {
        result.reason = std::strerror(errno == 0 ? EIO : errno);
        return result;
    }
    result.saved = true;
    DropOldest();
    return result;
}

std::vector<std::filesystem::path> BackupFolder::List(std::string_view unitName) const {
    std::vector<std::filesystem::path> paths;
    for (const Listed& backup : ListAll(directory_)) {
        if (backup.name.unit == FileNamePart(unitName)) {
            paths.push_back(backup.path);
        }
    }
    return paths;
}

void BackupFolder::DropOldest() const {
    const std::vector<Listed> all = ListAll(directory_);
    std::error_code error;
    for (std::size_t i = kKeptBackups; i < all.size(); ++i) {
        std::filesystem::remove(all[i].path, error);
    }
}

}  // namespace tessaly
