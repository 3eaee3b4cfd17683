#include "plugins/nvmem/SysfsPorts.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace tessaly {
namespace {

constexpr const char* kNvmemFile = "nvmem";
constexpr const char* kEepromFile = "eeprom";

// The device folders (real folders or the links sysfs makes) that hold the file.
void AddDevicesWith(const std::filesystem::path& devices, const char* file, std::vector<std::string>& names) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(devices, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (name.size() <= SysfsPorts::kMaxNameLength &&
            std::filesystem::is_regular_file(entry->path() / file, error)) {
            names.push_back(std::move(name));
        }
    }
}

bool IsFolderName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.size() <= SysfsPorts::kMaxNameLength;
}

}  // namespace

SysfsPorts SysfsPorts::FromEnvironment() {
    const char* root = std::getenv("TESSALY_SYSFS_ROOT");
    return SysfsPorts(root != nullptr && *root != '\0' ? root : "/");
}

std::vector<std::string> SysfsPorts::Names() const {
    std::vector<std::string> names;
    AddDevicesWith(NvmemDevices(), kNvmemFile, names);
    AddDevicesWith(I2cDevices(), kEepromFile, names);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::optional<std::filesystem::path> SysfsPorts::File(std::string_view name) const {
    if (!IsFolderName(name)) {
        return std::nullopt;
    }
    std::error_code error;
    for (const std::filesystem::path& file :
         {NvmemDevices() / name / kNvmemFile, I2cDevices() / name / kEepromFile}) {
        if (std::filesystem::is_regular_file(file, error)) {
            return file;
        }
    }
    return std::nullopt;
}

bool SysfsPorts::HasDriver() const {
    std::error_code error;
    return std::filesystem::is_directory(NvmemDevices(), error) || !Names().empty();
}

}  // namespace tessaly
