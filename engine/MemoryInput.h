#pragma once

#include <string>

#include "engine/TemplateInput.h"

namespace tessaly {

// A template held in memory: for tests, fuzzing and text that did not come from a file.
class MemoryInput : public TemplateInput {
  public:
    MemoryInput(std::string contents, std::string path)
        : contents_(std::move(contents)), path_(std::move(path)) {}

    std::uint32_t Length() const override;
    const std::string& Path() const override { return path_; }
    bool Seek(std::uint32_t offset) override;
    std::uint32_t Read(char* buffer, std::uint32_t size) override;

  private:
    std::string contents_;
    std::string path_;
    std::size_t offset_ = 0;
};

}  // namespace tessaly
