#pragma once

#include <string>
#include <vector>

#include "engine/ItemDifference.h"

namespace tessaly {

// One line per difference, "NAME<TAB>CHIP<TAB>EXPECTED", as verify and diff print them.
std::string DifferenceLines(const std::vector<ItemDifference>& differences);

}  // namespace tessaly
