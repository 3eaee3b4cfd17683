#include "ui/ValueCombo.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

#include "ui/InputKey.h"

namespace tessaly {
namespace {

bool EndsEdit(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

ValueCombo::ValueCombo(ValueEditorOwner& owner, const QStringList& texts, const QString& initialText,
                       QWidget* parent)
    : QComboBox(parent), owner_(owner) {
    addItems(texts);
    initialIndex_ = static_cast<int>(texts.indexOf(initialText));
    // Without a matching entry the box shows the row's text as a placeholder and chooses nothing.
    setPlaceholderText(initialText);
    setCurrentIndex(initialIndex_);
    WidenDropDown(texts);
}

bool ValueCombo::event(QEvent* event) {
    // Tab and Shift+Tab would move the focus before keyPressEvent saw them; here they end the edit instead.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            Finish(key);
            return true;
        }
    }
    return QComboBox::event(event);
}

void ValueCombo::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (key == Qt::Key_Enter) {
        key = Qt::Key_Return;
    }
    if (!EndsEdit(key)) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Escape) {
        setCurrentIndex(initialIndex_);
    }
    Finish(key);
}

void ValueCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Opening the drop-down moves the focus into its popup; the edit goes on there.
    if (event->reason() != Qt::PopupFocusReason) {
        Finish(kNoInput);
    }
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

void ValueCombo::closeEvent(QCloseEvent* event) {
    // Closing the editor is how the list ends an edit from outside, as a loss of focus would.
    Finish(kNoInput);
    QComboBox::closeEvent(event);
}

void ValueCombo::Finish(int key) {
    if (finished_) {
        return;
    }
    finished_ = true;
    const int choice = currentIndex();
    owner_.EditEnded({choice >= 0 ? itemText(choice) : placeholderText(), choice}, key);
}

}  // namespace tessaly
