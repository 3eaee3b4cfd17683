#include "TestTemplates.h"

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

}  // namespace tessaly::test
