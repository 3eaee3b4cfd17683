#include "MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace tessaly::test {

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
    const std::size_t room = position_ < writeLimit ? writeLimit - position_ : 0;
    const std::size_t count = std::min(size, room);
    if (bytes.size() < position_ + count) {
        bytes.resize(position_ + count);
    }
    std::memcpy(bytes.data() + position_, data, count);
    position_ += count;
    return count;
}

bool MemoryStream::Truncate() {
    bytes.clear();
    position_ = 0;
    return true;
}

}  // namespace tessaly::test
