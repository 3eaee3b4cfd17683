#pragma once

#include <filesystem>
#include <string_view>

namespace tessaly {

// Replaces the file at path with contents, or creates it. The bytes go to a new file in the same
// directory, which is flushed to disk and then renamed over path, so that a reader sees either the old
// file or the new one, complete. An existing file's permission bits carry over. Returns false when any
// step fails; the original file is then left as it was and no temporary file remains.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace tessaly
