#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly {

// A positioned byte file, as data files are read and written. Every operation reports failure by its
// result; a short count means the end of the data or an error, which callers treat alike.
class ByteStream {
  public:
    virtual ~ByteStream() = default;

    virtual bool Seek(std::uint64_t offset) = 0;
    // Moves to the end and gives that position.
    virtual bool SeekEnd(std::uint64_t& position) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::size_t Read(std::uint8_t* data, std::size_t size) = 0;
    virtual std::size_t Write(const std::uint8_t* data, std::size_t size) = 0;
    // Cuts the file to length 0 and moves to its start.
    virtual bool Truncate() = 0;
};

}  // namespace tessaly
