#pragma once

#include "engine/TemplateInput.h"

namespace tessaly {

// A template file opened read-only.
class FileInput : public TemplateInput {
  public:
    FileInput() = default;
    ~FileInput() override;
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    std::uint32_t Length() const override { return length_; }
    const std::string& Path() const override { return path_; }
    bool Seek(std::uint32_t offset) override;
    std::uint32_t Read(char* buffer, std::uint32_t size) override;

  private:
    int fd_ = -1;
    std::uint32_t length_ = 0;
    std::string path_;
};

}  // namespace tessaly
