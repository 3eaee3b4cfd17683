#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// An anonymous file in memory with a path that opens it, for a library that only reads and writes files
// by name. Nothing reaches the disk and nothing is left behind; the file goes with the object.
class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // A name that opens this file, for as long as the object lives.
    const std::string& Path() const { return path_; }
    bool Write(std::string_view contents);
    // Everything the file holds now, however it was written; false on a read error.
    bool ReadAll(std::string& contents) const;

  private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace tessaly
