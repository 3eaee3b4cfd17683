// Parsing a 32 x 1024-item template, against reading the same file line by line through the same 512-byte
// reads. The ratio is the parser's own cost per byte over the cost of getting the bytes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "GeneratedTemplate.h"
#include "RatioReporter.h"
#include "engine/FileInput.h"
#include "engine/ScriptCodec.h"
#include "engine/ScriptReader.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

namespace {

using namespace tessaly;

const std::string& TemplatePath() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "tessaly-bench-32x1024.dev";
        std::ofstream(file, std::ios::binary) << EncodeScript(GenerateTemplateText(32, 1024));
        return file.string();
    }();
    return path;
}

void ReadLines(benchmark::State& state) {
    for (auto _ : state) {
        FileInput input;
        input.Open(TemplatePath());
        ScriptReader reader(input);
        std::string_view line;
        std::size_t bytes = 0;
        while (!reader.EndOfInput() && reader.ReadLine(line)) {
            bytes += line.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void Parse(benchmark::State& state) {
    for (auto _ : state) {
        FileInput input;
        input.Open(TemplatePath());
        TemplateHeap heap;
        TemplateParser parser(input, heap);
        parser.Run(nullptr);
        if (parser.Error() != ParseError::None || parser.Units()->count != 32) {
            state.SkipWithError("the generated template did not load");
        }
        benchmark::DoNotOptimize(parser.Units());
    }
}

BENCHMARK(ReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(Parse)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double baseline = reporter.Time("ReadLines");
    if (baseline > 0) {
        std::printf("parse / line reading: %.2f\n", reporter.Time("Parse") / baseline);
    }
    std::remove(TemplatePath().c_str());
    return 0;
}
