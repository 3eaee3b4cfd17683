#pragma once

#include <filesystem>
#include <memory>

#include "plugins/sim/ChipMemory.h"

namespace tessaly {

// A chip's memory kept in a file, one byte per address. Every transfer goes to the file itself, so two
// sessions on the same chip see each other's writes at once and nothing is lost when a session ends
// without detaching.
class FileChipMemory : public ChipMemory {
  public:
    static constexpr std::uint8_t kErased = 0xFF;

    // Opens the file, creating it and its directories when missing. A file shorter than the chip is
    // extended with erased bytes, as a new chip comes from the factory; the bytes of a longer one beyond
    // the chip are left as they are and never used. Null when the file cannot be opened or extended, or
    // is not a regular file.
    static std::unique_ptr<FileChipMemory> Open(const std::filesystem::path& path, std::uint32_t capacity);

    ~FileChipMemory() override;
    FileChipMemory(const FileChipMemory&) = delete;
    FileChipMemory& operator=(const FileChipMemory&) = delete;

    // Bytes beyond the end of a file that something else has cut short read as erased.
    bool Read(std::uint32_t offset, std::span<std::uint8_t> data) override;
    bool Write(std::uint32_t offset, std::span<const std::uint8_t> data) override;

  private:
    explicit FileChipMemory(int fd) : fd_(fd) {}

    int fd_;
};

}  // namespace tessaly
