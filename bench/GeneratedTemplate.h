#pragma once

#include <string>

namespace tessaly {

// A plain-text template of the given size that uses every item kind, for benchmarks. Each unit spans
// 4 bytes per item, so 1024 items fit in a unit's 16-bit addresses.
std::string GenerateTemplateText(int units, int itemsPerUnit);

}  // namespace tessaly
