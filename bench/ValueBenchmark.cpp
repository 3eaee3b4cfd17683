// Reading and storing the value text of every item of a 1024-item unit of the generated template, against
// copying each item's bytes out of the data image and back. The ratio is what the text form costs over
// touching the same bytes.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GeneratedTemplate.h"
#include "RatioReporter.h"
#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

namespace {

using namespace tessaly;

constexpr std::uint32_t kItems = 1024;
// Both benchmarks report in microseconds.
constexpr double kNanosecondsPerReportedUnit = 1000.0;

struct ByteSpan {
    std::uint32_t offset;
    std::uint32_t count;
};

// Unit 0 of the generated template with its images built as the document builds them, and values in its
// numbers and strings so that the texts are not all zeros.
class LoadedUnit {
  public:
    LoadedUnit() {
        const std::string script = EncodeScript(GenerateTemplateText(1, static_cast<int>(kItems)));
        MemoryInput input(script, "bench.dev");
        TemplateParser parser(input, heap_);
        parser.Run(nullptr);
        if (parser.Error() != ParseError::None || parser.Units()->count != 1) {
            return;
        }
        unit_ = parser.Units()->GetAt(0);
        data_.resize(unit_->ImageSize());
        mask_.resize(unit_->ImageSize());
        unit_->InitImages(0xFF, data_.data(), mask_.data());
        if (unit_->itemCount != kItems || unit_->CheckCollisions() != kNoItem) {
            unit_ = nullptr;
            return;
        }
        FillValuesAndSpans();
    }

    Unit* unit() const { return unit_; }
    std::uint8_t* data() { return data_.data(); }
    const std::vector<ByteSpan>& spans() const { return spans_; }

  private:
    void FillValuesAndSpans() {
        for (std::uint32_t i = 0; i < unit_->itemCount; ++i) {
            const ItemKind kind = unit_->GetItem(i)->kind;
            unit_->SetValueText(i, kind == ItemKind::Num ? "1234ABCD" : "abc");
            ItemMask mask;
            unit_->BuildItemMask(mask, i);
            spans_.push_back({mask.offset, mask.count});
        }
    }

    TemplateHeap heap_;
    Unit* unit_ = nullptr;
    std::vector<std::uint8_t> data_;
    std::vector<std::uint8_t> mask_;
    std::vector<ByteSpan> spans_;
};

LoadedUnit& Loaded() {
    static LoadedUnit loaded;
    return loaded;
}

void CountPerItem(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kItems);
    state.counters["per_item"] = benchmark::Counter(
        kItems, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void CopyItemBytes(benchmark::State& state) {
    LoadedUnit& loaded = Loaded();
    if (loaded.unit() == nullptr) {
        state.SkipWithError("the generated template did not load");
        return;
    }
    std::array<std::uint8_t, kItemMaskCapacity> scratch{};
    for (auto _ : state) {
        for (const ByteSpan& span : loaded.spans()) {
            std::memcpy(scratch.data(), loaded.data() + span.offset, span.count);
            benchmark::DoNotOptimize(scratch.data());
            std::memcpy(loaded.data() + span.offset, scratch.data(), span.count);
        }
        benchmark::ClobberMemory();
    }
    CountPerItem(state);
}

void GetAndSetValueText(benchmark::State& state) {
    LoadedUnit& loaded = Loaded();
    if (loaded.unit() == nullptr) {
        state.SkipWithError("the generated template did not load");
        return;
    }
    Unit& unit = *loaded.unit();
    std::string text;
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            if (unit.GetValueText(i, text)) {
                unit.SetValueText(i, text);
            }
        }
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    CountPerItem(state);
}

BENCHMARK(CopyItemBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(GetAndSetValueText)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double baseline = reporter.Time("CopyItemBytes");
    const double codec = reporter.Time("GetAndSetValueText");
    if (baseline > 0) {
        std::printf("value texts per item: %.1f ns\n", codec * kNanosecondsPerReportedUnit / kItems);
        std::printf("byte copy per item: %.1f ns\n", baseline * kNanosecondsPerReportedUnit / kItems);
        std::printf("value texts / byte copy: %.2f\n", codec / baseline);
    }
    return 0;
}
