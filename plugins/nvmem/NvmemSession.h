#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "plugins/common/PluginStatus.h"

namespace tessaly {

// One attached memory file. The kernel's driver does the paging and the addressing, so a transfer is one
// pread or pwrite within a block; the file is opened for each transfer, which makes a device that went
// away a failed transfer rather than a stale descriptor. A transfer is one system call of at most a block,
// so PGM_Reset has nothing to end.
class NvmemSession {
  public:
    // The largest block the host is told to move at once.
    static constexpr std::uint32_t kMaxBlockSize = 4096;

    NvmemSession(std::string port, std::filesystem::path file)
        : port_(std::move(port)), file_(std::move(file)) {}

    // Identified always; plugged while the file is there; a chip present while it can be read; the block
    // size is the file's size up to kMaxBlockSize.
    PluginStatus GetFacility(std::uint32_t code, std::uint32_t& value) const;
    // Power and the addressing mode take 0 or 1 and change nothing; the I/O delay is accepted.
    PluginStatus SetFacility(std::uint32_t code, std::uint32_t value) const;

    // The port with the memory's size, or, when the file cannot be written, the file and why.
    std::string FirmwareText() const;

    PluginStatus Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) const;
    // A file that cannot be opened for writing fails at once with HardwareError.
    PluginStatus Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done) const;

  private:
    // 0 when the file is not there.
    std::uint64_t FileSize() const;
    std::uint32_t BlockSize() const;
    // How many of wanted bytes from address lie in the file and within address's block; 0 when none.
    std::uint32_t Reach(std::uint32_t address, std::size_t wanted) const;

    const std::string port_;
    const std::filesystem::path file_;
};

}  // namespace tessaly
