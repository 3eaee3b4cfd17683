#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/TemplateInput.h"

namespace tessaly {

inline constexpr std::uint32_t kReadBufferSize = 512;

// Cuts a template into CR LF separated lines through one 512-byte buffer. Each line costs one seek and one
// read; a line that does not end within the buffer (511 characters or more, or a NUL byte) is the last one.
class ScriptReader {
  public:
    explicit ScriptReader(TemplateInput& input) : input_(input) {}

    // Delivers the next line, valid until the next call; false (and endOfInput set) when nothing was read.
    bool ReadLine(std::string_view& line);

    bool EndOfInput() const { return endOfInput_; }
    // Where the next line starts; also the load's progress position.
    std::uint32_t Position() const { return position_; }
    std::uint32_t LineCount() const { return lineCount_; }
    const TemplateInput& Input() const { return input_; }

  private:
    TemplateInput& input_;
    bool endOfInput_ = false;
    std::uint32_t position_ = 0;
    std::uint32_t lineCount_ = 0;
    std::array<char, kReadBufferSize> buffer_{};
};

}  // namespace tessaly
