#include "plugins/nvmem/NvmemSession.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "device/PluginInterface.h"

namespace tessaly {
namespace {

// A descriptor closed when it goes.
class OpenFile {
  public:
    OpenFile(const std::filesystem::path& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

  private:
    int fd_;
};

PluginStatus FailureOf(int error) {
    return error == EAGAIN || error == EBUSY || error == ETIMEDOUT || error == ENXIO
               ? PluginStatus::NoAnswer
               : PluginStatus::HardwareError;
}

}  // namespace

PluginStatus NvmemSession::GetFacility(std::uint32_t code, std::uint32_t& value) const {
    std::error_code error;
    switch (code) {
        case PGM_SESSION_HARDWARE_IDENTIFIED:
            value = 1;
            return PluginStatus::Ok;
        case PGM_SESSION_HARDWARE_PLUGGED:
            value = std::filesystem::exists(file_, error) ? 1 : 0;
            return PluginStatus::Ok;
        case PGM_SESSION_CHIP_PRESENT:
            value = OpenFile(file_, O_RDONLY).IsOpen() ? 1 : 0;
            return PluginStatus::Ok;
        case PGM_SESSION_BLOCK_SIZE:
            value = BlockSize();
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

PluginStatus NvmemSession::SetFacility(std::uint32_t code, std::uint32_t value) const {
    switch (code) {
        case PGM_SESSION_POWER:
        case PGM_SESSION_WIDE_ADDRESSING:
            return value <= 1 ? PluginStatus::Ok : PluginStatus::InvalidRequest;
        case PGM_SESSION_IO_DELAY:
            return PluginStatus::Ok;
        default:
            return PluginStatus::InvalidRequest;
    }
}

std::string NvmemSession::FirmwareText() const {
    const OpenFile writable(file_, O_WRONLY);
    if (!writable.IsOpen() && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        return "read only, no write permission: " + file_.string();
    }
    return "nvmem " + port_ + ": " + std::to_string(FileSize()) + " bytes";
}

PluginStatus NvmemSession::Read(std::uint32_t address, std::span<std::uint8_t> buffer,
                                std::uint32_t& done) const {
    done = 0;
    const std::uint32_t count = Reach(address, buffer.size());
    if (count == 0) {
        return buffer.empty() ? PluginStatus::Ok : PluginStatus::InvalidRequest;
    }
    const OpenFile file(file_, O_RDONLY);
    if (!file.IsOpen()) {
        return FailureOf(errno);
    }
    const ssize_t read = ::pread(file.Descriptor(), buffer.data(), count, address);
    if (read <= 0) {
        return read == 0 ? PluginStatus::InvalidRequest : FailureOf(errno);
    }
    done = static_cast<std::uint32_t>(read);
    return PluginStatus::Ok;
}

PluginStatus NvmemSession::Write(std::uint32_t address, std::span<const std::uint8_t> data,
                                 std::uint32_t& done) const {
    done = 0;
    const OpenFile file(file_, O_WRONLY);
    if (!file.IsOpen()) {
        return PluginStatus::HardwareError;
    }
    const std::uint32_t count = Reach(address, data.size());
    if (count == 0) {
        return data.empty() ? PluginStatus::Ok : PluginStatus::InvalidRequest;
    }
    const ssize_t written = ::pwrite(file.Descriptor(), data.data(), count, address);
    if (written <= 0) {
        return written == 0 ? PluginStatus::InvalidRequest : FailureOf(errno);
    }
    done = static_cast<std::uint32_t>(written);
    return PluginStatus::Ok;
}

std::uint64_t NvmemSession::FileSize() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file_, error);
    return error ? 0 : size;
}

std::uint32_t NvmemSession::BlockSize() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(FileSize(), kMaxBlockSize));
}

std::uint32_t NvmemSession::Reach(std::uint32_t address, std::size_t wanted) const {
    const std::uint64_t size = FileSize();
    const std::uint32_t block = std::max<std::uint32_t>(BlockSize(), 1);
    if (address >= size) {
        return 0;
    }
    const std::uint64_t inBlock = block - address % block;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>({wanted, size - address, inBlock}));
}

}  // namespace tessaly
