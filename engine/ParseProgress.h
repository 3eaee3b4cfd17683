#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

// What a load shows while the parser runs: the template's path with the file length as the range, then the
// number of bytes consumed after every line.
class ParseProgress {
  public:
    virtual ~ParseProgress() = default;

    virtual void Begin(const std::string& path, std::uint32_t range) = 0;
    virtual void SetPosition(std::uint32_t position) = 0;
    virtual void End() = 0;
};

}  // namespace tessaly
