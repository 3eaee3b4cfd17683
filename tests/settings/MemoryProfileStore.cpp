#include "MemoryProfileStore.h"

namespace tessaly::test {

int MemoryProfileStore::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    return Find(section, key).value_or(defaultValue);
}

void MemoryProfileStore::WriteInt(std::string_view section, std::string_view key, int value) {
    values_[{std::string(section), std::string(key)}] = value;
    writes_.push_back(std::string(section) + "/" + std::string(key));
}

std::string MemoryProfileStore::GetText(std::string_view section, std::string_view key,
                                        std::string_view defaultValue) const {
    const auto found = texts_.find({std::string(section), std::string(key)});
    return found == texts_.end() ? std::string(defaultValue) : found->second;
}

void MemoryProfileStore::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    texts_[{std::string(section), std::string(key)}] = std::string(value);
    writes_.push_back(std::string(section) + "/" + std::string(key));
}

void MemoryProfileStore::RemoveSection(std::string_view section) {
    std::erase_if(values_, [&](const auto& entry) { return entry.first.first == section; });
    std::erase_if(texts_, [&](const auto& entry) { return entry.first.first == section; });
}

std::optional<int> MemoryProfileStore::Find(std::string_view section, std::string_view key) const {
    const auto found = values_.find({std::string(section), std::string(key)});
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace tessaly::test
