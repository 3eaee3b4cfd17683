#include "document/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessaly {

FileStream::~FileStream() {
    Close();
}

bool FileStream::Open(const std::string& path, Mode mode) {
    Close();
    const int flags = mode == Mode::Read ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    fd_ = open(path.c_str(), flags | O_CLOEXEC, 0644);
    position_ = 0;
    if (fd_ < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return false;
    }
    return true;
}

bool FileStream::Close() {
    if (fd_ < 0) {
        return true;
    }
    const bool synced = fsync(fd_) == 0 || errno == EINVAL;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    return synced && closed;
}

bool FileStream::Seek(std::uint64_t offset) {
    if (fd_ < 0 || lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        return false;
    }
    position_ = offset;
    return true;
}

bool FileStream::SeekEnd(std::uint64_t& position) {
    const off_t end = fd_ < 0 ? -1 : lseek(fd_, 0, SEEK_END);
    if (end < 0) {
        return false;
    }
    position_ = static_cast<std::uint64_t>(end);
    position = position_;
    return true;
}

// Repeats a read or write until size bytes are through, the file ends or an error other than an
// interruption occurs; returns the bytes transferred.
template <class Call>
std::size_t FileStream::Transfer(std::size_t size, Call call) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t count = call(done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    position_ += done;
    return done;
}

std::size_t FileStream::Read(std::uint8_t* data, std::size_t size) {
    return Transfer(size, [&](std::size_t done) { return read(fd_, data + done, size - done); });
}

std::size_t FileStream::Write(const std::uint8_t* data, std::size_t size) {
    return Transfer(size, [&](std::size_t done) { return write(fd_, data + done, size - done); });
}

bool FileStream::Truncate() {
    return fd_ >= 0 && ftruncate(fd_, 0) == 0 && Seek(0);
}

}  // namespace tessaly
