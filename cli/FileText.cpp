#include "cli/FileText.h"

#include <fstream>
#include <sstream>

namespace tessaly {

bool ReadWholeFile(const std::string& path, std::string& contents) {
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
