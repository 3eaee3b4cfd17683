#include "plugins/sim/FileChipMemory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

namespace tessaly {

namespace {

bool WriteAllAt(int fd, std::span<const std::uint8_t> data, off_t offset) {
    while (!data.empty()) {
        const ssize_t count = ::pwrite(fd, data.data(), data.size(), offset);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        data = data.subspan(static_cast<std::size_t>(count));
        offset += count;
    }
    return true;
}

// Reads what the file holds from offset on; returns the byte count, or -1 on an error.
ssize_t ReadAt(int fd, std::span<std::uint8_t> data, off_t offset) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t count = ::pread(fd, data.data() + done, data.size() - done, offset + done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<ssize_t>(done);
}

bool ExtendErased(int fd, std::uint32_t capacity) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    if (info.st_size >= static_cast<off_t>(capacity)) {
        return true;
    }
    const std::vector<std::uint8_t> erased(capacity - static_cast<std::size_t>(info.st_size),
                                           FileChipMemory::kErased);
    return WriteAllAt(fd, erased, info.st_size);
}

}  // namespace

std::unique_ptr<FileChipMemory> FileChipMemory::Open(const std::filesystem::path& path,
                                                     std::uint32_t capacity) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    // O_NONBLOCK keeps a FIFO planted under the file's name from blocking the open; the type check below
    // then refuses it.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        return nullptr;
    }
    if (!ExtendErased(fd, capacity)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileChipMemory>(new FileChipMemory(fd));
}

FileChipMemory::~FileChipMemory() {
    ::close(fd_);
}

bool FileChipMemory::Read(std::uint32_t offset, std::span<std::uint8_t> data) {
    const ssize_t count = ReadAt(fd_, data, offset);
    if (count < 0) {
        return false;
    }
    std::fill(data.begin() + count, data.end(), kErased);
    return true;
}

bool FileChipMemory::Write(std::uint32_t offset, std::span<const std::uint8_t> data) {
    return WriteAllAt(fd_, data, offset);
}

}  // namespace tessaly
