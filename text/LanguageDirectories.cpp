#include "text/LanguageDirectories.h"

#include <system_error>

namespace tessaly {

namespace {

// Relative to the executable's directory; the build system sets them from the installed and the build
// tree's layouts.
constexpr char kInstalledLanguages[] = TESSALY_INSTALLED_LANGUAGES;
constexpr char kBuildTreeLanguages[] = TESSALY_BUILD_TREE_LANGUAGES;

}  // namespace

std::vector<std::filesystem::path> LanguageDirectories(const std::filesystem::path& workingDirectory,
                                                       const std::filesystem::path& executable) {
    std::vector<std::filesystem::path> directories;
    if (!workingDirectory.empty()) {
        directories.push_back(workingDirectory);
    }
    const std::filesystem::path programDirectory = executable.parent_path();
    if (!programDirectory.empty()) {
        directories.push_back((programDirectory / kInstalledLanguages).lexically_normal());
        directories.push_back((programDirectory / kBuildTreeLanguages).lexically_normal());
    }
    return directories;
}

std::vector<std::filesystem::path> LanguageDirectories() {
    std::error_code error;
    // A removed working directory gives an empty path, as does an executable that cannot be read.
    const std::filesystem::path workingDirectory = std::filesystem::current_path(error);
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return LanguageDirectories(workingDirectory, executable);
}

}  // namespace tessaly
