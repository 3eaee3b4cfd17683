#pragma once

#include <string_view>

#include "cli/CliResult.h"
#include "cli/ListedItems.h"
#include "engine/Unit.h"

namespace tessaly {

// The item program --increment counts on: a NUM item, found by name or #N.
CliResult FindCounter(const Unit& unit, const ListedItems& items, std::string_view name, ListedItem& counter);

// Adds one to the counter's value as the item list shows it and stores the result through the value
// codec, so the item's range holds: a counter at its maximum is an error and keeps its value.
CliResult IncrementNumber(Unit& unit, const ListedItem& counter);

}  // namespace tessaly
