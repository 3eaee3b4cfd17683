#include "ui/GridLineDelegate.h"

#include <QApplication>
#include <QPainter>

namespace tessaly {

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    const auto color =
        static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget));
    painter->save();
    painter->setPen(QColor::fromRgba(color));
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}

}  // namespace tessaly
