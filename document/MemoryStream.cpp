#include "document/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

bool MemoryStream::Seek(std::uint64_t offset) {
    position_ = offset;
    return true;
}

bool MemoryStream::SeekEnd(std::uint64_t& position) {
    position_ = bytes.size();
    position = position_;
    return true;
}

std::size_t MemoryStream::Read(std::uint8_t* data, std::size_t size) {
    if (position_ >= bytes.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::size_t>(size, bytes.size() - position_);
    std::memcpy(data, bytes.data() + position_, count);
    position_ += count;
    return count;
}

std::size_t MemoryStream::Write(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    if (bytes.size() < position_ + size) {
        bytes.resize(position_ + size);
    }
    std::memcpy(bytes.data() + position_, data, size);
    position_ += size;
    return size;
}

bool MemoryStream::Truncate() {
    bytes.clear();
    position_ = 0;
    return true;
}

}  // namespace tessaly
