#include "plugins/i2cdev/AdapterName.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>

namespace tessaly {
namespace {

// The first bytes of a regular file; nothing for anything else (a directory, a FIFO, a missing file).
std::optional<std::string> ReadStart(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::array<char, kMaxAdapterNameLength + 1> bytes{};
    ssize_t count = -1;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        count = ::read(descriptor, bytes.data(), bytes.size());
    }
    ::close(descriptor);
    if (count < 0) {
        return std::nullopt;
    }
    return std::string(bytes.data(), static_cast<std::size_t>(count));
}

std::string FirstLinePrintable(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\n' || c == '\0' || line.size() == kMaxAdapterNameLength) {
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        line += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::string ReadAdapterName(const SystemPaths& paths, std::uint32_t adapter) {
    for (const std::filesystem::path& file : paths.NameFiles(adapter)) {
        if (const std::optional<std::string> text = ReadStart(file)) {
            return FirstLinePrintable(*text);
        }
    }
    return {};
}

}  // namespace tessaly
