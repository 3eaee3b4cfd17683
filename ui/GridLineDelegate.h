#pragma once

#include <QStyledItemDelegate>

namespace tessaly {

// Draws each cell as the default delegate does, with a grid line along its right and bottom edges, so the
// item list reads as a table.
class GridLineDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace tessaly
