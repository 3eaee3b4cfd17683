#pragma once

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::test {

// A fresh directory under the system's temporary directory, removed with everything in it at the end.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes name (relative to the directory, folders made as needed) with exactly these bytes and returns
    // its path.
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

// Lets writes grow a file to at most `bytes` for the lifetime of the object, so that a write fails part
// of the way through with EFBIG instead of raising SIGXFSZ. Root is bound by it too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

// The file's bytes, or an empty text when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

// Writes exactly these bytes, making the folders on the way; throws when the file cannot be written.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// The names of the directory's entries, sorted.
std::vector<std::string> FileNamesIn(const std::filesystem::path& directory);

}  // namespace tessaly::test
