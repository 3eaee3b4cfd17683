#include "ui/ItemRow.h"

#include <QColor>

#include "ui/ItemList.h"

namespace tessaly {
namespace {

// The background of a row whose chip value differs from its value.
const QColor kDifferingRow(255, 214, 214);

}  // namespace

ItemRow::ItemRow(const ListRow& row, Qt::Alignment nameAlignment)
    : QTreeWidgetItem(QTreeWidgetItem::UserType), item_(row.item) {
    setText(ItemList::kNumberColumn, row.number);
    setText(ItemList::kNameColumn, row.name);
    setText(ItemList::kValueColumn, row.value);
    setText(ItemList::kChipColumn, row.chip);
    if (row.differs) {
        for (int column = 0; column < ItemList::kColumnCount; ++column) {
            setBackground(column, kDifferingRow);
        }
    }
    setTextAlignment(ItemList::kNameColumn, nameAlignment);
    if (IsTitle()) {
        setFlags(Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    } else {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                 Qt::ItemNeverHasChildren);
        // Set before the row joins a list, so the initial state asks nobody.
        setCheckState(ItemList::kCheckColumn, row.enabled ? Qt::Checked : Qt::Unchecked);
    }
}

void ItemRow::setData(int column, int role, const QVariant& value) {
    auto* list = static_cast<ItemList*>(treeWidget());
    if (list != nullptr && column == ItemList::kCheckColumn && role == Qt::CheckStateRole) {
        const auto state = static_cast<Qt::CheckState>(value.toInt());
        if (state == checkState(column) || !list->AllowCheckChange(*this, state == Qt::Checked)) {
            return;
        }
    }
    QTreeWidgetItem::setData(column, role, value);
}

}  // namespace tessaly
