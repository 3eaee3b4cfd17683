#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/TemplateHeap.h"
#include "engine/UnitList.h"

namespace tessaly::test {

// A template parsed and given its images the way the document gives them: data filled, every item's bits
// claimed, the program mask set from the enabled flags.
class LoadedTemplate {
  public:
    // From plain lines, encoded as a template file holds them.
    explicit LoadedTemplate(const std::vector<std::string_view>& plainLines, std::uint8_t fill = 0xFF);
    // From a template file.
    LoadedTemplate(std::uint8_t fill, const std::string& path);

    bool Loaded() const { return units_ != nullptr && units_->count > 0; }
    Unit& UnitAt(std::uint32_t index = 0) const { return *units_->GetAt(index); }
    // The index of the first item of that name in the first unit; kNoItem when there is none.
    std::uint32_t ItemIndex(std::string_view name) const;
    std::string Value(std::uint32_t item, std::uint32_t unit = 0) const;
    bool SetValue(std::uint32_t item, std::string_view text, std::uint32_t unit = 0);

  private:
    void BuildImages(std::uint8_t fill);

    TemplateHeap heap_;
    UnitList* units_ = nullptr;
    std::vector<std::vector<std::uint8_t>> images_;
};

}  // namespace tessaly::test
