#pragma once

#include <QString>
#include <cstdint>

#include "engine/Unit.h"

namespace tessaly {

// One row of the item list as its owner describes it. An item row carries the item's index, its running
// number, name, value text and enabled flag; a title row carries kNoItem and at most a name, and has no
// check box.
struct ListRow {
    std::uint32_t item = kNoItem;
    QString number;
    QString name;
    QString value;
    bool enabled = false;
    // After a comparison with the chip: the value the chip holds, and whether it differs from value.
    QString chip;
    bool differs = false;
};

}  // namespace tessaly
