#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

namespace tessaly::test {

// A template file from plain lines: bodies encoded, lines joined with CR LF (no CR LF after the last).
std::string EncodedScript(const std::vector<std::string_view>& plainLines);

// A finished parse of a script held in memory; the heap keeps the model alive as long as the result.
struct ParsedTemplate {
    std::unique_ptr<TemplateHeap> heap;
    ParseError error = ParseError::None;
    std::uint32_t line = 0;
    std::string report;
    UnitList* units = nullptr;

    Unit& UnitAt(std::uint32_t index) const { return *units->GetAt(index); }
    TemplateItem& ItemAt(std::uint32_t unit, std::uint32_t item) const { return *UnitAt(unit).GetItem(item); }
};

ParsedTemplate ParseScript(const std::string& script, const std::string& path = "test.dev");
ParsedTemplate ParseLines(const std::vector<std::string_view>& plainLines);

// Parses "[U]" followed by one entry line; for the argument tests of a single item.
ParsedTemplate ParseEntryLine(std::string_view plainEntry);

}  // namespace tessaly::test
