#include "engine/ScriptReader.h"

namespace tessaly {

bool ScriptReader::ReadLine(std::string_view& line) {
    std::uint32_t count = 0;
    if (input_.Seek(position_)) {
        count = input_.Read(buffer_.data(), kReadBufferSize);
    }
    if (count == 0) {
        endOfInput_ = true;
        return false;
    }
    std::string_view text(buffer_.data(), count);
    text = text.substr(0, text.find('\0'));

    const std::size_t lineEnd = text.find("\r\n");
    if (lineEnd != std::string_view::npos) {
        line = text.substr(0, lineEnd);
        position_ += static_cast<std::uint32_t>(lineEnd) + 2;
        endOfInput_ = false;
    } else {
        line = text;
        position_ += count;
        endOfInput_ = true;
    }
    ++lineCount_;
    return true;
}

}  // namespace tessaly
