#pragma once

#include <cstdint>
#include <vector>

#include "document/ByteStream.h"

namespace tessaly {

// A ByteStream over a byte vector: a data file composed in memory before it is written in one piece.
class MemoryStream : public ByteStream {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> contents) : bytes(std::move(contents)) {}

    bool Seek(std::uint64_t offset) override;
    bool SeekEnd(std::uint64_t& position) override;
    std::uint64_t Position() const override { return position_; }
    std::size_t Read(std::uint8_t* data, std::size_t size) override;
    std::size_t Write(const std::uint8_t* data, std::size_t size) override;
    bool Truncate() override;

    std::vector<std::uint8_t> bytes;

  private:
    std::uint64_t position_ = 0;
};

}  // namespace tessaly
