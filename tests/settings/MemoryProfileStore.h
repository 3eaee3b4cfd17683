#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ProfileStore.h"

namespace tessaly::test {

// A profile store in memory that also records the order of its writes.
class MemoryProfileStore : public ProfileStore {
  public:
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view key, int value) override;
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;
    void RemoveSection(std::string_view section) override;

    std::optional<int> Find(std::string_view section, std::string_view key) const;

    // "section/key" of every write, oldest first.
    const std::vector<std::string>& Writes() const { return writes_; }

  private:
    std::map<std::pair<std::string, std::string>, int> values_;
    std::map<std::pair<std::string, std::string>, std::string> texts_;
    std::vector<std::string> writes_;
};

}  // namespace tessaly::test
