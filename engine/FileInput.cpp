#include "engine/FileInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tessaly {

FileInput::~FileInput() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool FileInput::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    if (fd_ >= 0) {
        close(fd_);
    }
    fd_ = fd;
    length_ = static_cast<std::uint32_t>(std::min<off_t>(info.st_size, 0xFFFFFFFF));
    path_ = path;
    return true;
}

bool FileInput::Seek(std::uint32_t offset) {
    return fd_ >= 0 && lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::uint32_t FileInput::Read(char* buffer, std::uint32_t size) {
    if (fd_ < 0) {
        return 0;
    }
    ssize_t count = 0;
    do {
        count = read(fd_, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

}  // namespace tessaly
