#include "MemoryProfileStore.h"

namespace tessaly::test {

int MemoryProfileStore::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    return Find(section, key).value_or(defaultValue);
}

void MemoryProfileStore::WriteInt(std::string_view section, std::string_view key, int value) {
    values_[{std::string(section), std::string(key)}] = value;
    writes_.push_back(std::string(section) + "/" + std::string(key));
}

std::optional<int> MemoryProfileStore::Find(std::string_view section, std::string_view key) const {
    const auto found = values_.find({std::string(section), std::string(key)});
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace tessaly::test
