#include "cli/NumberIncrement.h"

#include <string>

#include "cli/Quoted.h"
#include "cli/WrongValue.h"
#include "engine/ValueText.h"

namespace tessaly {
namespace {

constexpr double kLargestNumber = 4294967295.0;

}  // namespace

CliResult FindCounter(const Unit& unit, const ListedItems& items, std::string_view name,
                      ListedItem& counter) {
    if (CliResult found = items.Find(name, counter); !found) {
        return found;
    }
    const TemplateItem* item = unit.GetItem(counter.index);
    if (item == nullptr || item->kind != ItemKind::Num) {
        return CliResult::Error("--increment needs a NUM item; " + ItemLabel(unit, counter) + " is not one");
    }
    return CliResult::Ok();
}

CliResult IncrementNumber(Unit& unit, const ListedItem& counter) {
    const NumberBase base = unit.GetItem(counter.index)->RecordAs<NumRecord>().base;
    std::string text;
    double value = 0.0;
    if (!unit.GetValueText(counter.index, text) || !ParseValueText(text, base, value)) {
        return CliResult::Error(ItemLabel(unit, counter) + " holds no number to count on");
    }
    std::string next;
    if (value >= kLargestNumber || !FormatValueText(static_cast<std::uint32_t>(value + 1.0), base, next)) {
        return CliResult::Error(ItemLabel(unit, counter) + ": " + Quoted(text) +
                                " is the largest number it can hold");
    }
    const ValueCheck check = unit.ValidateValueText(counter.index, next);
    if (check != ValueCheck::Valid || !unit.SetValueText(counter.index, next)) {
        return CliResult::Error(DescribeWrongValue(unit, counter, next, check));
    }
    return CliResult::Ok();
}

}  // namespace tessaly
