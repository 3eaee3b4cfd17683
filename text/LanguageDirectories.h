#pragma once

#include <filesystem>
#include <vector>

namespace tessaly {

// Where the desktop looks for language files, in this order: the working directory, so that a language
// file of one's own comes first; the languages installed with the program; and those that the build copies
// beside a build tree's executables. Each of the last two is found from the executable's directory, so the
// program finds its languages wherever it is installed, or in the build tree it was built in.
// A working directory or executable that cannot be told leaves its entries out.
std::vector<std::filesystem::path> LanguageDirectories(const std::filesystem::path& workingDirectory,
                                                       const std::filesystem::path& executable);

// The same for this process: its working directory and /proc/self/exe.
std::vector<std::filesystem::path> LanguageDirectories();

}  // namespace tessaly
