// Opening the 32 x 1024-item template as the desktop opens it (parse, images, collision check, values
// restored from the companion file) against the parse alone.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "GeneratedTemplate.h"
#include "RatioReporter.h"
#include "document/CVardelDoc.h"
#include "engine/FileInput.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

namespace {

using namespace tessaly;

class SilentPrompt : public Prompt {
  public:
    void ShowMessage(const std::string&, const std::string&, PromptIcon) override {}
    bool AskYesNo(const std::string&, const std::string&, PromptIcon, PromptAnswer) override { return false; }
};

const std::filesystem::path& Directory() {
    static const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("tessaly-open-bench-" + std::to_string(getpid()));
    return directory;
}

// The template, and a companion file with a record for every unit, written once.
const std::string& TemplatePath() {
    static const std::string path = [] {
        std::filesystem::create_directories(Directory());
        const auto file = Directory() / "large.dev";
        std::ofstream(file, std::ios::binary) << EncodeScript(GenerateTemplateText(32, 1024));
        SilentPrompt prompt;
        CVardelDoc doc(prompt);
        doc.OnOpenDocument(file.string(), 0xFF, nullptr);
        return file.string();
    }();
    return path;
}

void Parse(benchmark::State& state) {
    BenchmarkParse(state, TemplatePath(), 32);
}

void Open(benchmark::State& state) {
    SilentPrompt prompt;
    for (auto _ : state) {
        auto doc = std::make_unique<CVardelDoc>(prompt);
        if (doc->OnOpenDocument(TemplatePath(), 0xFF, nullptr) != CVardelDoc::OpenResult::Opened) {
            state.SkipWithError("the generated template did not open");
        }
        state.PauseTiming();
        // Dropping the document writes the companion file, which is not part of opening.
        doc.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(Open)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parse = reporter.Time("Parse");
    if (parse > 0) {
        std::printf("open / parse: %.2f\n", reporter.Time("Open") / parse);
    }
    std::filesystem::remove_all(Directory());
    return 0;
}
