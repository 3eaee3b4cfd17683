#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "settings/ParseInt.h"
#include "settings/ProfileStore.h"

namespace tessaly::test {

// A profile store in memory; numbers are kept as their digits, as QSettingsProfileStore keeps them.
class MemoryProfileStore : public ProfileStore {
  public:
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override {
        std::int32_t number = defaultValue;
        ParseInt(GetText(section, key, ""), number);
        return number;
    }
    void WriteInt(std::string_view section, std::string_view key, int value) override {
        WriteText(section, key, std::to_string(value));
    }
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const override {
        const auto found = texts_.find({std::string(section), std::string(key)});
        return found == texts_.end() ? std::string(defaultValue) : found->second;
    }
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override {
        texts_[{std::string(section), std::string(key)}] = value;
    }
    void RemoveSection(std::string_view section) override {
        std::erase_if(texts_, [&](const auto& entry) { return entry.first.first == section; });
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> texts_;
};

}  // namespace tessaly::test
