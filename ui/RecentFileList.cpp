#include "ui/RecentFileList.h"

#include <utility>

namespace tessaly {

RecentFileList::RecentFileList(int size) : size_(size > 0 ? static_cast<std::size_t>(size) : 0) {}

std::string RecentFileList::Key(std::size_t index) {
    return "File" + std::to_string(index + 1);
}

void RecentFileList::Read(const ProfileStore& store) {
    paths_.clear();
    for (std::size_t index = 0; index < size_; ++index) {
        std::string path = store.GetText(kSection, Key(index), "");
        if (!path.empty()) {
            paths_.push_back(std::move(path));
        }
    }
}

void RecentFileList::Write(ProfileStore& store) const {
    store.RemoveSection(kSection);
    for (std::size_t index = 0; index < paths_.size(); ++index) {
        store.WriteText(kSection, Key(index), paths_[index]);
    }
}

void RecentFileList::Add(const std::string& path) {
    if (size_ == 0 || path.empty()) {
        return;
    }
    std::erase(paths_, path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > size_) {
        paths_.resize(size_);
    }
}

void RecentFileList::Remove(std::size_t index) {
    if (index < paths_.size()) {
        paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace tessaly
