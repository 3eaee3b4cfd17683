// Filling the item view's list with a unit of 1024 items, as after a Read or a tab change, against reading
// the value text of every item alone. The ratio is what the list's rows cost over the texts they show.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "GeneratedTemplate.h"
#include "RatioReporter.h"
#include "document/CVardelDoc.h"
#include "engine/ScriptCodec.h"
#include "ui/CVardelView.h"

namespace {

using namespace tessaly;

constexpr int kItems = 1024;

class SilentPrompt : public Prompt {
  public:
    void ShowMessage(const std::string&, const std::string&, PromptIcon) override {}
    bool AskYesNo(const std::string&, const std::string&, PromptIcon, PromptAnswer) override { return false; }
};

class IdleFrame : public ItemViewFrame {
  public:
    bool IsDeviceBusy() const override { return false; }
    const std::vector<ListRow>* RowsInOperation(const Unit&) const override { return nullptr; }
    void SetBusMode(BusKind) override {}
    void EnableImportExport(bool) override {}
};

const std::filesystem::path& Directory() {
    static const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("tessaly-list-bench-" + std::to_string(getpid()));
    return directory;
}

// The generated one-unit template opened as the desktop opens it, shown in a view of a usual window size
// with the settings' defaults (columns sized on every fill).
struct ShownTemplate {
    ShownTemplate() {
        std::filesystem::create_directories(Directory());
        const auto file = Directory() / "list.dev";
        std::ofstream(file, std::ios::binary) << EncodeScript(GenerateTemplateText(1, kItems));
        loaded = document.OnOpenDocument(file.string(), 0xFF, nullptr) == CVardelDoc::OpenResult::Opened;
        settings.options = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError;
        settings.fontFace.Set("Courier New");
        settings.fontSize = 10;
        view = std::make_unique<CVardelView>(document, settings, frame, prompt);
        view->ShowTemplate();
        view->resize(800, 600);
        view->show();
    }

    SilentPrompt prompt;
    IdleFrame frame;
    AppSettings settings;
    CVardelDoc document{prompt};
    std::unique_ptr<CVardelView> view;
    bool loaded = false;
};

// Made by main once the application exists, and dropped before it goes.
std::unique_ptr<ShownTemplate>& Shown() {
    static std::unique_ptr<ShownTemplate> shown;
    return shown;
}

void RefillList(benchmark::State& state) {
    ShownTemplate& shown = *Shown();
    if (!shown.loaded) {
        state.SkipWithError("the generated template did not open");
        return;
    }
    for (auto _ : state) {
        shown.view->RefillList();
    }
    state.counters["rows"] = shown.view->List().RowCount();
}

void ValueTexts(benchmark::State& state) {
    const Unit* unit = Shown()->view->CurrentUnit();
    if (unit == nullptr) {
        state.SkipWithError("the generated template did not open");
        return;
    }
    std::string text;
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < unit->itemCount; ++i) {
            benchmark::DoNotOptimize(unit->GetValueText(i, text));
        }
    }
}

BENCHMARK(RefillList)->Unit(benchmark::kMicrosecond);
BENCHMARK(ValueTexts)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    Shown() = std::make_unique<ShownTemplate>();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double texts = reporter.Time("ValueTexts");
    if (texts > 0) {
        std::printf("refill list / value texts: %.2f\n", reporter.Time("RefillList") / texts);
    }
    Shown().reset();
    std::filesystem::remove_all(Directory());
    return 0;
}
