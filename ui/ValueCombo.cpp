#include "ui/ValueCombo.h"

#include <QAbstractItemView>
#include <QStyle>
#include <algorithm>

namespace tessaly {

ValueCombo::ValueCombo(ValueEditorOwner& owner, const QStringList& texts, const QString& initialText,
                       QWidget* parent)
    : InPlaceEditor(owner, parent) {
    addItems(texts);
    initialIndex_ = static_cast<int>(texts.indexOf(initialText));
    // Without a matching entry the box shows the row's text as a placeholder and chooses nothing.
    setPlaceholderText(initialText);
    setCurrentIndex(initialIndex_);
    WidenDropDown(texts);
}

void ValueCombo::WidenDropDown(const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(
            widest, view()->fontMetrics().horizontalAdvance(QLatin1Char(' ') + text + QLatin1Char(' ')));
    }
    view()->setMinimumWidth(widest + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                            2 * view()->frameWidth());
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void ValueCombo::ChooseByPrefix(const QString& prefix) {
    if (prefix.isEmpty()) {
        return;
    }
    for (int entry = 0; entry < count(); ++entry) {
        if (itemText(entry).startsWith(prefix, Qt::CaseInsensitive)) {
            setCurrentIndex(entry);
            return;
        }
    }
}

EditedValue ValueCombo::CurrentValue() const {
    const int choice = currentIndex();
    return {choice >= 0 ? itemText(choice) : placeholderText(), choice};
}

}  // namespace tessaly
