#include "ui/UnitRows.h"

#include "engine/ItemDifference.h"
#include "ui/DisplayText.h"

namespace tessaly {

std::vector<ListRow> UnitRows(const Unit& unit) {
    std::vector<ListRow> rows;
    rows.reserve(unit.itemCount);
    int number = 0;
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        if (!unit.IsListedItem(i)) {
            continue;
        }
        const TemplateItem& item = *unit.GetItem(i);
        const QString name = ToDisplay(item.name != nullptr ? item.name : "");
        if (item.kind == ItemKind::Title) {
            rows.resize(rows.size() + item.RecordAs<TitleRecord>().spacing);
            rows.push_back({kNoItem, QString(), name, QString(), false, QString(), false});
        } else {
            std::string value;
            rows.push_back({i, QString::number(++number), name,
                            unit.GetValueText(i, value) ? ToDisplay(value) : QString(), item.enabled != 0,
                            QString(), false});
        }
    }
    return rows;
}

void AddChipValues(const Unit& unit, const std::vector<std::uint8_t>& chip, std::vector<ListRow>& rows) {
    for (ListRow& row : rows) {
        if (row.item != kNoItem && chip.size() == unit.ImageSize()) {
            row.chip = ToDisplay(ValueTextIn(unit, row.item, chip.data()));
            row.differs = row.enabled && ItemDiffers(unit, row.item, chip.data(), unit.dataImage);
        }
    }
}

}  // namespace tessaly
