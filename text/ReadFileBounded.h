#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tessaly {

enum class ReadStatus { kRead, kMissing, kFailed };

// Reads at most limit bytes of the file at path into text. Only regular files are opened: a FIFO or device
// named like a data file must not block or feed endless data. kMissing when there is no file, kFailed when
// it is no regular file or cannot be read (text is then empty).
ReadStatus ReadFileBounded(const std::filesystem::path& path, std::size_t limit, std::string& text);

}  // namespace tessaly
