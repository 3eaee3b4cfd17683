#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ParseError.h"
#include "engine/ParseProgress.h"
#include "engine/ScriptReader.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateInput.h"
#include "engine/UnitList.h"

namespace tessaly {

// Turns a template script into units and items in a heap, one line per Step. The first error ends the parse;
// the units stay in the heap for whoever owns it, and the parser itself frees nothing of them.
class TemplateParser {
  public:
    TemplateParser(TemplateInput& input, TemplateHeap& heap);

    // True while the parse should go on; false once it has ended, with Error() None or the failure.
    bool Step();

    // Steps to the end of the parse, showing progress when given one.
    void Run(ParseProgress* progress);

    // A title line creates a unit. False with error None when the line is no title at all.
    bool ParseTitle(std::string_view line);
    // An entry line creates an item of the current unit.
    bool ParseEntry(std::string_view line);

    // The report for the recorded error; false for a code above 10.
    bool FormatError(std::string& report) const;

    ParseError Error() const { return error_; }
    std::uint32_t ErrorCode() const { return static_cast<std::uint32_t>(error_); }
    std::uint32_t Position() const { return reader_.Position(); }
    std::uint32_t InputLength() const { return inputLength_; }
    std::uint32_t LineCount() const { return reader_.LineCount(); }
    UnitList* Units() const { return units_; }

  private:
    bool Fail(ParseError error);

    TemplateInput& input_;
    TemplateHeap& heap_;
    ScriptReader reader_;
    ParseError error_ = ParseError::None;
    std::uint32_t inputLength_ = 0;
    Unit* currentUnit_ = nullptr;
    UnitList* units_ = nullptr;
};

}  // namespace tessaly
