#pragma once

#include <QTreeWidgetItem>
#include <cstdint>

#include "ui/ListRow.h"

namespace tessaly {

// A row of the ItemList. An item row is selectable and has a check box; a title row has neither. Every
// change of the check box made while the row is in a list, by a click, a key or a menu command, is put to
// the list first, which asks its owner, and a refused change leaves the box as it was.
class ItemRow : public QTreeWidgetItem {
  public:
    ItemRow(const ListRow& row, Qt::Alignment nameAlignment);

    // The item's index in its unit; kNoItem for a title row.
    std::uint32_t Item() const { return item_; }
    bool IsTitle() const { return item_ == kNoItem; }

    void setData(int column, int role, const QVariant& value) override;

  private:
    std::uint32_t item_;
};

}  // namespace tessaly
