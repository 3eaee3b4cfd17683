#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tessaly::test {

// A fresh directory under the system's temporary directory, removed with everything in it at the end.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes name (relative to the directory) with exactly these bytes and returns its path.
    std::filesystem::path Write(std::string_view name, std::string_view contents) const;

  private:
    std::filesystem::path path_;
};

// Makes a directory the working directory for the lifetime of the object.
class ScopedWorkingDirectory {
  public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& directory);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

// The file's bytes, or an empty text when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace tessaly::test
