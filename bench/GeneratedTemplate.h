#pragma once

#include <string>

#include <benchmark/benchmark.h>

namespace tessaly {

// A plain-text template of the given size that uses every item kind, for benchmarks. Each unit spans
// 4 bytes per item, so 1024 items fit in a unit's 16-bit addresses.
std::string GenerateTemplateText(int units, int itemsPerUnit);

// Times parsing the template file at path, the baseline of the other loading benchmarks; an error is
// reported unless it loads with the expected number of units.
void BenchmarkParse(benchmark::State& state, const std::string& path, unsigned expectedUnits);

}  // namespace tessaly
