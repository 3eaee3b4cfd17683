#include "cli/FileText.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaly {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    // A directory opens as a stream that reads as empty; it is no file to read.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    contents = buffer.str();
    return !file.bad();
}

}  // namespace tessaly
