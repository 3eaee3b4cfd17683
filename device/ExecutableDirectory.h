#pragma once

#include <string>

namespace tessaly {

// The directory of the running executable (from /proc/self/exe) with its trailing slash: the place where
// programmer plug-ins are looked for. Empty when the path cannot be had or holds no slash.
std::string ExecutableDirectory();

// directory and fileName joined with one slash between them; fileName alone when directory is empty.
std::string JoinPath(const std::string& directory, const std::string& fileName);

}  // namespace tessaly
