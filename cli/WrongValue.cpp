#include "cli/WrongValue.h"

#include <utility>

#include "cli/Quoted.h"

namespace tessaly {
namespace {

std::string_view Verdict(ValueCheck check) {
    switch (check) {
        case ValueCheck::BelowMinimum:
            return "is below the minimum";
        case ValueCheck::WrongOrAboveMaximum:
            return "is wrong or above the maximum";
        default:
            return "is not a value this item takes";
    }
}

// The item's tooltip on one line: its line breaks and indentation become single blanks.
std::string OneLine(std::string_view text) {
    std::string line;
    bool blank = false;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\r' || c == '\n' || c == '\t';
        if (space && !line.empty()) {
            blank = true;
        } else if (!space) {
            if (blank) {
                line += ' ';
            }
            line += c;
            blank = false;
        }
    }
    return line;
}

}  // namespace

std::string DescribeWrongValue(const Unit& unit, const ListedItem& item, std::string_view text,
                               ValueCheck check) {
    std::string line = ItemLabel(unit, item) + ": " + Quoted(text) + " " + std::string(Verdict(check));
    const std::string description = OneLine(unit.DescribeItem(item.index));
    return description.empty() ? line : line + " (" + description + ")";
}

CliResult CheckEnabledValues(const Unit& unit, const ListedItems& items) {
    std::string lines;
    for (const ListedItem& item : items.All()) {
        const TemplateItem* header = unit.GetItem(item.index);
        if (header == nullptr || header->enabled == 0) {
            continue;
        }
        std::string text;
        unit.GetValueText(item.index, text);
        const ValueCheck check = unit.ValidateValueText(item.index, text);
        if (check != ValueCheck::Valid) {
            lines += lines.empty() ? "" : "\n";
            lines += DescribeWrongValue(unit, item, text, check);
        }
    }
    return lines.empty() ? CliResult::Ok() : CliResult::Error(std::move(lines));
}

}  // namespace tessaly
