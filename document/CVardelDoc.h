#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/ParseProgress.h"
#include "engine/TemplateHeap.h"
#include "engine/UnitList.h"
#include "text/Prompt.h"

namespace tessaly {

// The one open template: its units and items in a heap of their own, the values kept in a companion file
// beside the template ("<base path>.cfg"). The template file itself is never written.
class CVardelDoc {
  public:
    enum class OpenResult {
        Opened,
        CannotOpen,   // the file could not be opened for reading; nothing was shown
        ParseFailed,  // the parser's report was shown
        Collision,    // the memory collision text was shown
    };

    explicit CVardelDoc(Prompt& prompt) : prompt_(prompt) {}
    // Writes the companion file of the open template, unless SetSavesOnClose(false) said otherwise.
    ~CVardelDoc();
    CVardelDoc(const CVardelDoc&) = delete;
    CVardelDoc& operator=(const CVardelDoc&) = delete;

    // Saves the open template's values, then loads path. On any failure the template that was open stays
    // open with its values.
    OpenResult OnOpenDocument(const std::string& path, std::uint8_t memoryInit, ParseProgress* progress);

    // Writes every unit's data image to the companion file through a temporary file renamed over the old
    // one, so that a failed or interrupted save leaves the values saved before. False with no template.
    bool SaveCompanionFile() const;

    // Whether destruction writes the companion file (it does unless told otherwise). The command line
    // turns it off: it saves itself so that it can report a failed save, and with --no-save it must leave
    // the file untouched.
    void SetSavesOnClose(bool saves) { savesOnClose_ = saves; }

    std::uint32_t GetUnitCount() const { return units_ != nullptr ? units_->count : 0; }
    UnitList* Units() const { return units_; }
    std::string CompanionPath() const { return CompanionPathOf(basePath_); }
    // 0 after a successful load, else the parser's code or 10 after a memory collision.
    std::int32_t LoadError() const { return loadError_; }

    // Set when a template has been loaded; the item view clears it once it has rebuilt its tabs.
    bool templateChanged = false;

    // The template's directory and its file name up to the first dot: /dev/my.board.dev gives /dev/my.
    static std::string MakeBasePath(const std::string& file);
    static std::string CompanionPathOf(const std::string& basePath) { return basePath + ".cfg"; }

  private:
    // Allocates the unit's images and checks its items for collisions. A unit too large to have images
    // only comes from an item whose location runs backwards, which is reported as the colliding one.
    bool BuildImages(TemplateHeap& heap, Unit& unit, std::uint8_t memoryInit);
    // Shows the collision of item (none for kNoItem) in unit; always false.
    bool ReportCollision(const Unit& unit, std::uint32_t item);

    Prompt& prompt_;
    std::unique_ptr<TemplateHeap> heap_;
    UnitList* units_ = nullptr;
    std::string basePath_;
    std::int32_t loadError_ = 0;
    bool savesOnClose_ = true;
};

}  // namespace tessaly
