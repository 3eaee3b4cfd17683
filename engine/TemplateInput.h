#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

// The seekable byte source a template is read from.
class TemplateInput {
  public:
    virtual ~TemplateInput() = default;

    // The length in bytes, capped at 0xFFFFFFFF.
    virtual std::uint32_t Length() const = 0;
    // The path shown in error reports.
    virtual const std::string& Path() const = 0;
    virtual bool Seek(std::uint32_t offset) = 0;
    // Reads up to size bytes; 0 at the end or on any failure.
    virtual std::uint32_t Read(char* buffer, std::uint32_t size) = 0;
};

}  // namespace tessaly
