// Writes the benchmarks' generated template, encoded as template files are stored, for the scripts that
// time whole programs on it: generate-template UNITS ITEMS FILE.

#include <charconv>
#include <cstdio>
#include <string_view>

#include "GeneratedTemplate.h"
#include "engine/ScriptCodec.h"
#include "text/WriteFileAtomically.h"

namespace {

bool ReadCount(std::string_view text, int& count) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() && count > 0;
}

}  // namespace

int main(int argc, char** argv) {
    int units = 0;
    int items = 0;
    if (argc != 4 || !ReadCount(argv[1], units) || !ReadCount(argv[2], items)) {
        std::fputs("usage: generate-template UNITS ITEMS FILE\n", stderr);
        return 2;
    }
    const std::string script = tessaly::EncodeScript(tessaly::GenerateTemplateText(units, items));
    if (!tessaly::WriteFileAtomically(argv[3], script)) {
        std::fprintf(stderr, "generate-template: cannot write %s\n", argv[3]);
        return 2;
    }
    return 0;
}
