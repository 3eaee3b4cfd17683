#include "device/ExecutableDirectory.h"

#include <unistd.h>

#include <array>

namespace tessaly {

std::string ExecutableDirectory() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    // A result that fills the buffer may have been cut short; such a path is not used.
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    const std::string full(path.data(), static_cast<std::size_t>(length));
    const std::size_t slash = full.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return full.substr(0, slash + 1);
}

std::string JoinPath(const std::string& directory, const std::string& fileName) {
    if (directory.empty() || directory.back() == '/') {
        return directory + fileName;
    }
    return directory + '/' + fileName;
}

}  // namespace tessaly
