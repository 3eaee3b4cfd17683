#include "document/CVardelDoc.h"

#include <filesystem>

#include "document/DataFile.h"
#include "document/FileStream.h"
#include "document/MemoryStream.h"
#include "engine/FileInput.h"
#include "engine/KeywordTable.h"
#include "engine/TemplateParser.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {
namespace {

// No location the parser accepts reaches past 0x100FF, so a larger image only comes from an item whose
// location runs backwards; such an item cannot be masked and is reported before anything is allocated.
constexpr std::uint32_t kLargestImage = 0x20000;

// Names the unit and, when there is one, the item that collides.
std::string CollisionText(const Unit& unit, std::uint32_t index) {
    std::string text = std::string(GetMessageText(msg::kTemplateMemoryCollision)) + "\n" + unit.name;
    const TemplateItem* item = unit.GetItem(index);
    if (item == nullptr) {
        return text;
    }
    const std::string_view keyword = ItemKindKeyword(static_cast<unsigned>(item->kind));
    return text + " -> " + (item->name != nullptr ? item->name : "...") + " (" +
           GetMessageText(msg::kTypeAs) + " " + std::string(keyword) + ")";
}

// The companion file's header, when the file exists and is one.
struct Companion {
    FileStream file;
    DataFile data{file};
    bool inUse = false;
};

}  // namespace

CVardelDoc::~CVardelDoc() {
    if (savesOnClose_) {
        SaveCompanionFile();
    }
}

std::string CVardelDoc::MakeBasePath(const std::string& file) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(file, error);
    if (error) {
        full = file;
    }
    const std::string name = full.filename().string();
    return (full.parent_path() / name.substr(0, name.find('.'))).string();
}

CVardelDoc::OpenResult CVardelDoc::OnOpenDocument(const std::string& path, std::uint8_t memoryInit,
                                                  ParseProgress* progress) {
    FileInput input;
    if (!input.Open(path)) {
        return OpenResult::CannotOpen;
    }
    SaveCompanionFile();

    auto heap = std::make_unique<TemplateHeap>();
    TemplateParser parser(input, *heap);
    parser.Run(progress);
    loadError_ = static_cast<std::int32_t>(parser.ErrorCode());
    if (loadError_ != 0) {
        std::string report;
        if (parser.FormatError(report)) {
            prompt_.ShowError(report);
        }
        return OpenResult::ParseFailed;
    }

    const std::string basePath = MakeBasePath(path);
    Companion companion;
    companion.inUse =
        companion.file.Open(CompanionPathOf(basePath), FileStream::Mode::Read) && companion.data.ReadHeader();
    UnitList& units = *parser.Units();
    for (std::uint32_t i = 0; i < units.count; ++i) {
        Unit& unit = *units.GetAt(i);
        if (!BuildImages(*heap, unit, memoryInit)) {
            return OpenResult::Collision;
        }
        if (companion.inUse) {
            companion.data.ReadUnit(unit);
        }
    }

    units.SetCurrent(0);
    const std::string currentName = companion.inUse ? companion.data.GetUnitName() : std::string();
    for (std::uint32_t i = 0; companion.inUse && i < units.count; ++i) {
        if (SameStoredName(units.GetAt(i)->name, currentName)) {
            units.SetCurrent(i);
            break;
        }
    }
    heap_ = std::move(heap);
    units_ = &units;
    basePath_ = basePath;
    templateChanged = true;
    return OpenResult::Opened;
}

bool CVardelDoc::BuildImages(TemplateHeap& heap, Unit& unit, std::uint8_t memoryInit) {
    const std::uint32_t size = unit.ImageSize();
    if (size > kLargestImage) {
        return ReportCollision(unit, unit.FirstUnmaskableItem());
    }
    auto* programMask = static_cast<std::uint8_t*>(heap.Allocate(size, 1));
    auto* dataImage = static_cast<std::uint8_t*>(heap.Allocate(size, 1));
    unit.InitImages(memoryInit, dataImage, programMask);
    const std::uint32_t offender = unit.CheckCollisions();
    return offender == kNoItem || ReportCollision(unit, offender);
}

bool CVardelDoc::ReportCollision(const Unit& unit, std::uint32_t item) {
    prompt_.ShowError(CollisionText(unit, item));
    loadError_ = static_cast<std::int32_t>(ParseError::Other);
    return false;
}

bool CVardelDoc::SaveCompanionFile() const {
    if (units_ == nullptr || units_->count == 0) {
        return false;
    }
    const Unit* current = units_->GetAt(units_->GetCurrent());
    MemoryStream contents;
    if (!WriteDataFile(contents, units_->units, static_cast<std::uint16_t>(units_->count),
                       current != nullptr ? current->name : "")) {
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(contents.bytes.data()), contents.bytes.size());
    return WriteFileAtomically(CompanionPath(), bytes);
}

}  // namespace tessaly
