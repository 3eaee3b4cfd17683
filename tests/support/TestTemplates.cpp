#include "TestTemplates.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"

namespace tessaly::test {

std::string EncodedScript(const std::vector<std::string_view>& plainLines) {
    std::string plain;
    for (std::size_t i = 0; i < plainLines.size(); ++i) {
        plain += plainLines[i];
        if (i + 1 < plainLines.size()) {
            plain += '\n';
        }
    }
    return EncodeScript(plain);
}

ParsedTemplate ParseScript(const std::string& script, const std::string& path) {
    ParsedTemplate parsed;
    parsed.heap = std::make_unique<TemplateHeap>();
    MemoryInput input(script, path);
    TemplateParser parser(input, *parsed.heap);
    parser.Run(nullptr);
    parsed.error = parser.Error();
    parsed.line = parser.LineCount();
    parser.FormatError(parsed.report);
    parsed.units = parser.Units();
    return parsed;
}

ParsedTemplate ParseLines(const std::vector<std::string_view>& plainLines) {
    return ParseScript(EncodedScript(plainLines));
}

ParsedTemplate ParseEntryLine(std::string_view plainEntry) {
    return ParseLines({"[U]", plainEntry});
}

namespace {

constexpr std::uint32_t kGuardBytes = 16;
constexpr std::uint8_t kGuardValue = 0xA5;

std::vector<std::uint8_t> GuardedBuffer(std::uint32_t size) {
    return std::vector<std::uint8_t>(size + 2 * kGuardBytes, kGuardValue);
}

bool GuardIntact(const std::vector<std::uint8_t>& buffer) {
    const auto isGuard = [](std::uint8_t byte) { return byte == kGuardValue; };
    return buffer.empty() || (std::all_of(buffer.begin(), buffer.begin() + kGuardBytes, isGuard) &&
                              std::all_of(buffer.end() - kGuardBytes, buffer.end(), isGuard));
}

}  // namespace

std::uint8_t& ImagedTemplate::Data(std::uint32_t address, std::uint32_t unit) {
    return data[unit][kGuardBytes + address - UnitAt(unit).start];
}

std::uint8_t& ImagedTemplate::Mask(std::uint32_t address, std::uint32_t unit) {
    return masks[unit][kGuardBytes + address - UnitAt(unit).start];
}

bool ImagedTemplate::GuardsIntact() const {
    return std::all_of(data.begin(), data.end(), GuardIntact) &&
           std::all_of(masks.begin(), masks.end(), GuardIntact);
}

std::filesystem::path ExamplePath(std::string_view fileName) {
    const char* sourceDir = std::getenv("TESSALY_SOURCE_DIR");
    return std::filesystem::path(sourceDir != nullptr ? sourceDir : TESSALY_SOURCE_DIR) / "examples" /
           fileName;
}

std::string ExampleScript(std::string_view fileName) {
    std::ifstream file(ExamplePath(fileName), std::ios::binary);
    std::ostringstream script;
    script << file.rdbuf();
    return script.str();
}

ImagedTemplate ImageScript(const std::string& script, std::uint8_t fill) {
    ImagedTemplate imaged{ParseScript(script), {}, {}};
    const std::uint32_t count = imaged.parsed.units == nullptr ? 0 : imaged.parsed.units->count;
    imaged.data.resize(count);
    imaged.masks.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Unit& unit = imaged.UnitAt(i);
        if (unit.ImageSize() > kLargestTestImage) {
            continue;
        }
        imaged.data[i] = GuardedBuffer(unit.ImageSize());
        imaged.masks[i] = GuardedBuffer(unit.ImageSize());
        unit.InitImages(fill, imaged.data[i].data() + kGuardBytes, imaged.masks[i].data() + kGuardBytes);
    }
    return imaged;
}

ImagedTemplate ImageLines(const std::vector<std::string_view>& plainLines, std::uint8_t fill) {
    return ImageScript(EncodedScript(plainLines), fill);
}

}  // namespace tessaly::test
