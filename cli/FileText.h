#pragma once

#include <string>

namespace tessaly {

// Reads a whole file for the command line; false when it cannot be opened or read, or is a directory.
bool ReadWholeFile(const std::string& path, std::string& contents);

}  // namespace tessaly
