#pragma once

#include <string>

#include "document/ByteStream.h"

namespace tessaly {

// A ByteStream over a file descriptor, closed with the object.
class FileStream : public ByteStream {
  public:
    enum class Mode { Read, Write };

    FileStream() = default;
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Write creates the file or truncates it.
    bool Open(const std::string& path, Mode mode);
    // Flushes to the disk and closes; false when anything written may not have reached it.
    bool Close();

    bool Seek(std::uint64_t offset) override;
    bool SeekEnd(std::uint64_t& position) override;
    std::uint64_t Position() const override { return position_; }
    std::size_t Read(std::uint8_t* data, std::size_t size) override;
    std::size_t Write(const std::uint8_t* data, std::size_t size) override;
    bool Truncate() override;

  private:
    template <class Call>
    std::size_t Transfer(std::size_t size, Call call);

    int fd_ = -1;
    std::uint64_t position_ = 0;
};

}  // namespace tessaly
