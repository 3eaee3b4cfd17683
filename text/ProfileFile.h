#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaly {

// A private-profile (.ini) file, read by the rules of the Windows private-profile calls:
// - lines end with LF or CRLF; a line "[name]" starts a section, a line "key=value" is an entry, a line
//   starting with ';' is a comment, and any other line is ignored;
// - section and key names are trimmed and compared case-insensitively (ASCII letters only);
// - only the first section with a matching name is searched, and the first matching key in it wins;
// - the value is trimmed of white space and one pair of matching surrounding quotes (" or ') is removed;
// - a missing file, section or key gives the caller's default, less its trailing blanks;
// - the result is cut to bufferSize - 1 bytes, as if read into a buffer of bufferSize bytes with room for
//   the terminating zero; a bufferSize of 0 gives an empty text.
class ProfileFile {
  public:
    // At most this much of a file is read; the rest of a bigger file is ignored by readers, and the writer
    // refuses to rewrite such a file because it could not keep what lies beyond the limit.
    static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;

    ProfileFile() = default;
    explicit ProfileFile(std::string text);

    // Reads the first kMaxFileBytes of the file. Returns false, leaving the profile empty, when the file
    // is missing, is not a regular file or cannot be read.
    bool Load(const std::filesystem::path& path);

    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                          std::size_t bufferSize) const;

  private:
    std::string text_;
};

// Loads the file and reads one value, as ProfileFile::GetString does.
std::string ReadProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue, std::size_t bufferSize);

// Sets one value: the first matching key of the first matching section gets the new value in its line; a
// missing key is added after the section's last non-blank line; a missing section is added, with the key,
// at the end of the file; a missing file is created. Every other line keeps its bytes; new lines take the
// file's line ending (CRLF when the first line has one, otherwise LF). The file is replaced as a whole
// (see WriteFileAtomically). Returns false, with the file unchanged, when the names or the value cannot be
// written (empty or untrimmed names, a ']' in the section, a '=' in the key or a key starting with '[' or
// ';', a line break anywhere), when the file is bigger than ProfileFile::kMaxFileBytes or unreadable, or
// when writing fails.
bool WriteProfileString(const std::filesystem::path& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace tessaly
