#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// The version block that CMake embeds in every Tessaly executable (tessaly_version_block): this marker, a
// line feed, then one "Name=Value" line per value, ending at a zero byte. Only the marker followed by the
// line feed counts, so the reader's own copy of the marker text never passes for a block.
inline constexpr std::string_view kVersionBlockMarker = "TESSALY-VERSION-BLOCK";

// The running program's executable file.
inline constexpr char kOwnExecutable[] = "/proc/self/exe";

// The value names that callers ask for by index. The build number is read by name, "SpecialBuild".
inline constexpr std::array<std::string_view, 10> kVersionValueNames = {
    "CompanyName",     "FileDescription",  "FileVersion",  "InternalName", "LegalCopyRight",
    "LegalTrademarks", "OriginalFileName", "PrivateBuild", "ProductName",  "ProductVersion",
};
inline constexpr std::size_t kCompanyName = 0;
inline constexpr std::size_t kLegalCopyRight = 4;
inline constexpr std::size_t kProductVersion = 9;

// Reads the version block back from an executable's file.
class VersionInfo {
  public:
    // True when the block of module is loaded: at once when module is the file already loaded, otherwise
    // after forgetting the previous file and reading this one. A file without a block leaves nothing
    // loaded.
    bool Attach(const std::filesystem::path& module);

    // Copies the named value, with its terminator, into buffer. False, with buffer untouched, when nothing
    // is loaded or buffer is empty; false, with buffer zero-filled, when the value is missing or the value
    // and its terminator take buffer.size() bytes or more (so a 64-byte buffer holds at most 62 bytes).
    bool GetString(std::string_view name, std::span<char> buffer) const;
    // GetString with the name kVersionValueNames[index]; false for an index outside that table.
    bool GetStringByIndex(std::size_t index, std::span<char> buffer) const;

    void Reset();
    bool IsLoaded() const { return loaded_; }

  private:
    bool Load();

    std::filesystem::path module_;
    bool loaded_ = false;
    std::vector<std::pair<std::string, std::string>> values_;
};

}  // namespace tessaly
