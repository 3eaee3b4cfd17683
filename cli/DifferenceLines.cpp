#include "cli/DifferenceLines.h"

namespace tessaly {

std::string DifferenceLines(const std::vector<ItemDifference>& differences) {
    std::string lines;
    for (const ItemDifference& difference : differences) {
        lines += difference.name + "\t" + difference.chip + "\t" + difference.expected + "\n";
    }
    return lines;
}

}  // namespace tessaly
