#include "engine/MemoryInput.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

std::uint32_t MemoryInput::Length() const {
    return static_cast<std::uint32_t>(std::min<std::size_t>(contents_.size(), 0xFFFFFFFF));
}

bool MemoryInput::Seek(std::uint32_t offset) {
    offset_ = offset;
    return true;
}

std::uint32_t MemoryInput::Read(char* buffer, std::uint32_t size) {
    if (offset_ >= contents_.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::size_t>(size, contents_.size() - offset_);
    std::memcpy(buffer, contents_.data() + offset_, count);
    offset_ += count;
    return static_cast<std::uint32_t>(count);
}

}  // namespace tessaly
