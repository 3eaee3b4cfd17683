#include "LoadedTemplate.h"

#include "TestTemplates.h"
#include "engine/FileInput.h"
#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateParser.h"

namespace tessaly::test {
namespace {

UnitList* Parse(TemplateInput& input, TemplateHeap& heap) {
    TemplateParser parser(input, heap);
    parser.Run(nullptr);
    return parser.Error() == ParseError::None ? parser.Units() : nullptr;
}

}  // namespace

LoadedTemplate::LoadedTemplate(const std::vector<std::string_view>& plainLines, std::uint8_t fill) {
    MemoryInput input(EncodedScript(plainLines), "test.dev");
    units_ = Parse(input, heap_);
    BuildImages(fill);
}

LoadedTemplate::LoadedTemplate(std::uint8_t fill, const std::string& path) {
    FileInput input;
    if (input.Open(path)) {
        units_ = Parse(input, heap_);
    }
    BuildImages(fill);
}

void LoadedTemplate::BuildImages(std::uint8_t fill) {
    if (units_ == nullptr) {
        return;
    }
    images_.resize(2 * units_->count);
    for (std::uint32_t i = 0; i < units_->count; ++i) {
        Unit& unit = UnitAt(i);
        images_[2 * i].resize(unit.ImageSize());
        images_[2 * i + 1].resize(unit.ImageSize());
        unit.InitImages(fill, images_[2 * i].data(), images_[2 * i + 1].data());
        if (unit.CheckCollisions() != kNoItem) {
            units_ = nullptr;
            return;
        }
        unit.UpdateProgramMask();
    }
}

std::uint32_t LoadedTemplate::ItemIndex(std::string_view name) const {
    const Unit& unit = UnitAt();
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        const TemplateItem* item = unit.GetItem(i);
        if (item != nullptr && item->name != nullptr && name == item->name) {
            return i;
        }
    }
    return kNoItem;
}

std::string LoadedTemplate::Value(std::uint32_t item, std::uint32_t unit) const {
    std::string text;
    return UnitAt(unit).GetValueText(item, text) ? text : "<none>";
}

bool LoadedTemplate::SetValue(std::uint32_t item, std::string_view text, std::uint32_t unit) {
    return UnitAt(unit).SetValueText(item, text);
}

}  // namespace tessaly::test
