#include "ui/VersionInfo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

namespace tessaly {
namespace {

// A block longer than this is taken for stray bytes that happen to start like one.
constexpr std::size_t kMaxBlockSize = 4096;

// A file mapped read-only for the time of one search: an executable may be tens of megabytes with its
// debug information, and the block is only a few hundred bytes of it.
class MappedFile {
  public:
    explicit MappedFile(const std::filesystem::path& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0 && status.st_size > 0) {
            void* address =
                ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (address != MAP_FAILED) {
                bytes_ = {static_cast<const char*>(address), static_cast<std::size_t>(status.st_size)};
            }
        }
        ::close(fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (!bytes_.empty()) {
            ::munmap(const_cast<char*>(bytes_.data()), bytes_.size());
        }
    }

    std::string_view Bytes() const { return bytes_; }

  private:
    std::string_view bytes_;
};

// The block's lines after the marker's line feed, up to its zero byte.
std::optional<std::string_view> FindBlock(std::string_view file) {
    for (std::size_t at = file.find(kVersionBlockMarker); at != std::string_view::npos;
         at = file.find(kVersionBlockMarker, at + 1)) {
        const std::size_t start = at + kVersionBlockMarker.size();
        if (start < file.size() && file[start] == '\n') {
            const std::string_view rest = file.substr(start + 1, kMaxBlockSize);
            const std::size_t end = rest.find('\0');
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            return rest.substr(0, end);
        }
    }
    return std::nullopt;
}

// Splits the block into its "Name=Value" lines; fails on a line without a name.
bool ParseBlock(std::string_view block, std::vector<std::pair<std::string, std::string>>& values) {
    while (!block.empty()) {
        const std::size_t end = std::min(block.find('\n'), block.size());
        const std::string_view line = block.substr(0, end);
        const std::size_t equals = line.find('=');
        if (equals == 0 || equals == std::string_view::npos) {
            return false;
        }
        values.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        block.remove_prefix(std::min(end + 1, block.size()));
    }
    return true;
}

}  // namespace

bool VersionInfo::Attach(const std::filesystem::path& module) {
    if (loaded_ && module == module_) {
        return true;
    }
    Reset();
    module_ = module;
    return Load();
}

bool VersionInfo::Load() {
    const MappedFile file(module_);
    const std::optional<std::string_view> block = FindBlock(file.Bytes());
    if (!block || !ParseBlock(*block, values_)) {
        Reset();
        return false;
    }
    loaded_ = true;
    return true;
}

bool VersionInfo::GetString(std::string_view name, std::span<char> buffer) const {
    if (!loaded_ || buffer.empty()) {
        return false;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    const auto value =
        std::find_if(values_.begin(), values_.end(), [name](const auto& pair) { return pair.first == name; });
    if (value == values_.end() || value->second.size() + 1 >= buffer.size()) {
        return false;
    }
    std::copy(value->second.begin(), value->second.end(), buffer.begin());
    return true;
}

bool VersionInfo::GetStringByIndex(std::size_t index, std::span<char> buffer) const {
    if (index >= kVersionValueNames.size()) {
        return false;
    }
    return GetString(kVersionValueNames[index], buffer);
}

void VersionInfo::Reset() {
    module_.clear();
    loaded_ = false;
    values_.clear();
}

}  // namespace tessaly
