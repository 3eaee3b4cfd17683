#include "GeneratedTemplate.h"

#include <cstdio>

#include "engine/FileInput.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

namespace tessaly {
namespace {

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// One entry of the repeating pattern at byte address a (4 bytes are free from a on).
std::string Entry(int item, unsigned a) {
    const std::string at = Hex(a);
    const std::string name = "Item " + std::to_string(item) + " = ";
    switch (item % 8) {
        case 0:
            return name + "NUM, " + at + "-" + Hex(a + 3) + ", 0-FFFFFFFF, HEX, BENDIAN";
        case 1:
            return name + "BIT, " + at + ".0, Off, On";
        case 2:
            return name + "ENUM, " + at + ".0-" + at + ".1, Idle, Run, Sleep, Test";
        case 3:
            return name + "STRING, " + at + "-" + Hex(a + 3) + ", COUNTER, 1";
        case 4:
            return name + "STATIC, " + at + ", 55, AA";
        case 5:
            return name + "RELATIVE, " + at + ", " + Hex(a + 1) + ", XOR, FF";
        case 6:
            return name + "CHECKSUM, " + at + ", " + Hex(a + 1) + "-" + Hex(a + 3) + ", ONES";
        default:
            return name + "TITLE, 1";
    }
}

}  // namespace

std::string GenerateTemplateText(int units, int itemsPerUnit) {
    std::string text;
    for (int unit = 0; unit < units; ++unit) {
        text += "[Unit " + std::to_string(unit) + ", I2C16]\n";
        for (int item = 0; item < itemsPerUnit; ++item) {
            text += Entry(item, static_cast<unsigned>(item) * 4) + "\n";
        }
    }
    return text;
}

void BenchmarkParse(benchmark::State& state, const std::string& path, unsigned expectedUnits) {
    for (auto _ : state) {
        FileInput input;
        input.Open(path);
        TemplateHeap heap;
        TemplateParser parser(input, heap);
        parser.Run(nullptr);
        if (parser.Error() != ParseError::None || parser.Units()->count != expectedUnits) {
            state.SkipWithError("the generated template did not load");
        }
        benchmark::DoNotOptimize(parser.Units());
    }
}

}  // namespace tessaly
