#include "cli/ListedItems.h"

#include <charconv>

#include "cli/Quoted.h"

namespace tessaly {

ListedItems::ListedItems(const Unit& unit) : unit_(unit) {
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        const TemplateItem* item = unit.GetItem(i);
        if (item != nullptr && item->kind != ItemKind::Title && unit.IsListedItem(i)) {
            items_.push_back({static_cast<std::uint32_t>(items_.size()) + 1, i});
        }
    }
}

CliResult ListedItems::Find(std::string_view name, ListedItem& found) const {
    if (name.starts_with('#')) {
        return FindByNumber(name, found);
    }
    std::string numbers;
    std::uint32_t matches = 0;
    for (const ListedItem& item : items_) {
        if (ItemName(unit_, item.index) == name) {
            numbers += matches++ == 0 ? "#" : ", #";
            numbers += std::to_string(item.number);
            found = item;
        }
    }
    if (matches == 1) {
        return CliResult::Ok();
    }
    const std::string quoted = Quoted(name);
    if (matches == 0) {
        return CliResult::Error("unit " + std::string(unit_.name) + " has no item named " + quoted);
    }
    return CliResult::Error("items " + numbers + " are all named " + quoted + "; name one by its number");
}

CliResult ListedItems::FindByNumber(std::string_view name, ListedItem& found) const {
    const std::string_view digits = name.substr(1);
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number == 0 ||
        number > items_.size()) {
        return CliResult::Error("unit " + std::string(unit_.name) + " has no item " + std::string(name) +
                                " (its items are #1 to #" + std::to_string(items_.size()) + ")");
    }
    found = items_[number - 1];
    return CliResult::Ok();
}

std::string_view ItemName(const Unit& unit, std::uint32_t index) {
    const TemplateItem* item = unit.GetItem(index);
    return item != nullptr && item->name != nullptr ? std::string_view(item->name) : std::string_view();
}

std::string ItemLabel(const Unit& unit, const ListedItem& item) {
    // Appended piece by piece, for the reason Quoted.cpp gives.
    std::string label = "#";
    label += std::to_string(item.number);
    label += ' ';
    label += ItemName(unit, item.index);
    return label;
}

}  // namespace tessaly
