#pragma once

#include <string>

namespace tessaly {

// Whole-file reads and writes for the command line. The write goes through a temporary file in the same
// directory, so a failed write leaves an existing file as it was.
bool ReadWholeFile(const std::string& path, std::string& contents);
bool WriteWholeFile(const std::string& path, const std::string& contents);

}  // namespace tessaly
