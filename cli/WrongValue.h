#pragma once

#include <string>
#include <string_view>

#include "cli/ListedItems.h"
#include "engine/Unit.h"
#include "engine/ValueCheck.h"

namespace tessaly {

// The one line that says why text is no value for the item, with what the item takes:
// "#5 Manufacture week: '0' is below the minimum (Number (decimal): 1-35)".
std::string DescribeWrongValue(const Unit& unit, const ListedItem& item, std::string_view text,
                               ValueCheck check);

// What the desktop checks before Program and Verify: every enabled listed item's value text passes its
// validation. The error names every one that does not, one line each, in list order.
CliResult CheckEnabledValues(const Unit& unit, const ListedItems& items);

}  // namespace tessaly
