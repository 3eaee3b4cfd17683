#pragma once

#include <cstdint>
#include <vector>

#include "engine/Unit.h"
#include "ui/ListRow.h"

namespace tessaly {

// The item list's rows for a unit: one item row per listed item, numbered from 1 in item order, with the
// item's name, value text and enabled flag; a title adds as many blank title rows as its spacing, then a
// title row with its name. Items that are not listed get no row.
std::vector<ListRow> UnitRows(const Unit& unit);

// Adds what chip, a copy of the unit's image as the chip holds it, gives each item row, and marks the
// enabled rows whose value differs.
void AddChipValues(const Unit& unit, const std::vector<std::uint8_t>& chip, std::vector<ListRow>& rows);

}  // namespace tessaly
