#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileStore.h"

namespace tessaly {

// The templates opened last, newest first, as the File menu offers them. They are kept in the profile
// store's section kSection under the keys "File1" to "FileN"; the list is read at start-up with its
// size (the mruSize setting, which therefore takes effect at the next start) and written at exit.
class RecentFileList {
  public:
    static constexpr std::string_view kSection = "Recent File List";

    // Holds at most size entries; a size of 0 or less keeps none.
    explicit RecentFileList(int size);

    std::size_t Size() const { return size_; }
    const std::vector<std::string>& Paths() const { return paths_; }

    // Reads "File1" up to "File<size>", skipping empty values.
    void Read(const ProfileStore& store);
    // Replaces the section with the entries in their order.
    void Write(ProfileStore& store) const;

    // Puts path first; an earlier entry of the same path moves up instead of being repeated, and the
    // oldest entry goes when the list is full. Nothing happens for a list of size 0 or an empty path.
    void Add(const std::string& path);
    // Drops the entry at index, if there is one.
    void Remove(std::size_t index);

  private:
    static std::string Key(std::size_t index);

    std::size_t size_;
    std::vector<std::string> paths_;
};

}  // namespace tessaly
