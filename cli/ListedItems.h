#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliResult.h"
#include "engine/Unit.h"

namespace tessaly {

// An item as the item list shows it: its running number (from 1) and its index in the unit.
struct ListedItem {
    std::uint32_t number = 0;
    std::uint32_t index = 0;
};

// The items of a unit that the desktop's item list numbers: those IsListedItem accepts, titles left out
// (they only structure the list). The running numbers count these items only, from 1, in index order.
class ListedItems {
  public:
    explicit ListedItems(const Unit& unit);

    const std::vector<ListedItem>& All() const { return items_; }

    // The item named by an item's name (exact, case-sensitive) or by "#N", its running number. A name that
    // no listed item has, or that several share, is an error; the latter lists their numbers.
    CliResult Find(std::string_view name, ListedItem& found) const;

  private:
    CliResult FindByNumber(std::string_view name, ListedItem& found) const;

    const Unit& unit_;
    std::vector<ListedItem> items_;
};

// The item's name, empty when the template gave none.
std::string_view ItemName(const Unit& unit, std::uint32_t index);

// How messages name a listed item: "#5 Manufacture week".
std::string ItemLabel(const Unit& unit, const ListedItem& item);

}  // namespace tessaly
