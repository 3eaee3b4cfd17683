#pragma once

#include <cstdint>
#include <filesystem>
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

// A parse whose units have their images, built as the document builds them: data filled with fill, program
// mask cleared, fixed byte written. Each image sits between guard bytes so that a test sees any write
// outside it. A unit whose image would exceed kLargestTestImage bytes is left without images.
inline constexpr std::uint32_t kLargestTestImage = 0x20000;

struct ImagedTemplate {
    ParsedTemplate parsed;
    std::vector<std::vector<std::uint8_t>> data;
    std::vector<std::vector<std::uint8_t>> masks;

    Unit& UnitAt(std::uint32_t index) const { return parsed.UnitAt(index); }
    // The data-image and program-mask bytes of a device address of a unit.
    std::uint8_t& Data(std::uint32_t address, std::uint32_t unit = 0);
    std::uint8_t& Mask(std::uint32_t address, std::uint32_t unit = 0);
    // True while no guard byte around any image has changed.
    bool GuardsIntact() const;
};

// The path of a file in examples/, found through $TESSALY_SOURCE_DIR or the source directory the tests
// were built from.
std::filesystem::path ExamplePath(std::string_view fileName);
// The stored text of a template in examples/; empty when it cannot be read.
std::string ExampleScript(std::string_view fileName);

ImagedTemplate ImageScript(const std::string& script, std::uint8_t fill = 0);
ImagedTemplate ImageLines(const std::vector<std::string_view>& plainLines, std::uint8_t fill = 0);

}  // namespace tessaly::test
