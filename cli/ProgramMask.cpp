#include "cli/ProgramMask.h"

namespace tessaly {

CliResult DisableItems(Unit& unit, const ListedItems& items, const std::vector<std::string>& names) {
    std::vector<std::uint32_t> indexes;
    for (const std::string& name : names) {
        ListedItem item;
        if (CliResult found = items.Find(name, item); !found) {
            return found;
        }
        indexes.push_back(item.index);
    }
    for (const std::uint32_t index : indexes) {
        unit.SetItemEnabled(index, false);
    }
    return CliResult::Ok();
}

CliResult SetUpProgramMask(Unit& unit, const ListedItems& items, const std::vector<std::string>& disabled) {
    if (CliResult done = DisableItems(unit, items, disabled); !done) {
        return done;
    }
    unit.UpdateProgramMask();
    return CliResult::Ok();
}

}  // namespace tessaly
