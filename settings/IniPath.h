#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tessaly {

// The settings file: the current working directory, "/", the executable's file name without its
// extension, and ".ini" (for "tessaly", "<cwd>/tessaly.ini"). Only the file name of executableName
// counts. Empty when the working directory cannot be read (it was removed, for example) or the name has
// no file name; then there is no settings file.
std::filesystem::path GetIniPath(std::string_view executableName);

// The file name of the running executable, from /proc/self/exe; empty when that cannot be read.
std::string GetExecutableName();

}  // namespace tessaly
