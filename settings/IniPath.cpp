#include "settings/IniPath.h"

#include <system_error>

namespace tessaly {

namespace {

// What the kernel appends to the link of an executable whose file has been replaced or removed, as
// happens when a program is rebuilt while it runs.
constexpr std::string_view kDeletedSuffix = " (deleted)";

}  // namespace

std::filesystem::path GetIniPath(std::string_view executableName) {
    const std::filesystem::path stem = std::filesystem::path(executableName).filename().stem();
    if (stem.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    if (error || directory.empty()) {
        return {};
    }
    std::filesystem::path path = directory / stem;
    path += ".ini";
    return path;
}

std::string GetExecutableName() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    std::string name = executable.filename().string();
    if (name.ends_with(kDeletedSuffix)) {
        name.resize(name.size() - kDeletedSuffix.size());
    }
    return name;
}

}  // namespace tessaly
