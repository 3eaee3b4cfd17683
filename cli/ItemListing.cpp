#include "cli/ItemListing.h"

namespace tessaly {

void AppendListing(const Unit& unit, const ListedItems& items, std::string& out) {
    std::string value;
    for (const ListedItem& item : items.All()) {
        value.clear();
        unit.GetValueText(item.index, value);
        const TemplateItem* header = unit.GetItem(item.index);
        out += unit.name;
        out += '\t';
        out += std::to_string(item.number);
        out += header != nullptr && header->enabled != 0 ? "\t1\t" : "\t0\t";
        out += ItemName(unit, item.index);
        out += '\t';
        out += value;
        out += '\n';
    }
}

}  // namespace tessaly
