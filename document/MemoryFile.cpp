#include "document/MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

namespace tessaly {

MemoryFile::MemoryFile() : fd_(memfd_create("tessaly-records", MFD_CLOEXEC)) {
    if (fd_ >= 0) {
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
}

MemoryFile::~MemoryFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool MemoryFile::Write(std::string_view contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written = pwrite(fd_, contents.data() + done, contents.size() - done, done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool MemoryFile::ReadAll(std::string& contents) const {
    contents.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t count = pread(fd_, buffer, sizeof buffer, contents.size());
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace tessaly
