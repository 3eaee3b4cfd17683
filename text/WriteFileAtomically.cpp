#include "text/WriteFileAtomically.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace tessaly {

namespace {

constexpr int kCreateAttempts = 16;

std::filesystem::path TemporarySibling(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::string name = ".";
    name.append(path.filename().string())
        .append(".tmp.")
        .append(std::to_string(::getpid()))
        .append(".")
        .append(std::to_string(counter.fetch_add(1)));
    return path.parent_path() / name;
}

// Opens a file that did not exist before, so that a stale or foreign file is never overwritten.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporary = TemporarySibling(path);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool KeepPermissions(int fd, const std::filesystem::path& original) {
    struct stat status {};
    if (::stat(original.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    return ::fchmod(fd, status.st_mode & 07777) == 0;
}

bool FillAndClose(int fd, const std::filesystem::path& path, std::string_view contents) {
    const bool filled = KeepPermissions(fd, path) && WriteAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return filled && closed;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
    if (path.filename().empty()) {
        return false;
    }
    std::filesystem::path temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0) {
        return false;
    }
    if (!FillAndClose(fd, path, contents) || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tessaly
