#pragma once

#include <string>
#include <vector>

#include "cli/CliResult.h"
#include "cli/ListedItems.h"
#include "engine/Unit.h"

namespace tessaly {

// Clears the enabled flag of each named item (a name or #N) for this run, as unchecking its box in the
// item list does. Every name is looked up before any flag changes.
CliResult DisableItems(Unit& unit, const ListedItems& items, const std::vector<std::string>& names);

// DisableItems, then the program mask rebuilt from the enabled flags, as every device command does first.
CliResult SetUpProgramMask(Unit& unit, const ListedItems& items, const std::vector<std::string>& disabled);

}  // namespace tessaly
