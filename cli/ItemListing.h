#pragma once

#include <string>

#include "cli/ListedItems.h"
#include "engine/Unit.h"

namespace tessaly {

// One line per listed item of the unit, in list order, its fields separated by tabs: the unit's name, the
// running number, 1 or 0 for the enabled flag, the item's name and its value text (empty when it has
// none, as in the item list).
void AppendListing(const Unit& unit, const ListedItems& items, std::string& out);

}  // namespace tessaly
