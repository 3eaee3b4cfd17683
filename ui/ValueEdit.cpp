#include "ui/ValueEdit.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
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

ValueEdit::ValueEdit(ValueEditorOwner& owner, const QString& initialText, QWidget* parent)
    : QLineEdit(initialText, parent), owner_(owner), initialText_(initialText), acceptedText_(initialText) {
    setFrame(false);
    // textEdited reports the user's changes only, so the undo below does not check itself again.
    connect(this, &QLineEdit::textEdited, this, &ValueEdit::CheckEdited);
}

void ValueEdit::ApplyStartKey(int key) {
    if (key == Qt::Key_Backspace) {
        end(false);
        backspace();  // reports through textEdited like a typed Backspace
    } else {
        selectAll();
    }
    RememberAccepted();
}

bool ValueEdit::event(QEvent* event) {
    // Tab and Shift+Tab would move the focus before keyPressEvent saw them; here they end the edit instead.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            Finish(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void ValueEdit::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (key == Qt::Key_Enter) {
        key = Qt::Key_Return;
    }
    if (!EndsEdit(key)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Escape) {
        setText(initialText_);
    }
    Finish(key);
}

void ValueEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The box's own context menu takes the focus for a moment; that is no reason to end the edit.
    if (event->reason() != Qt::PopupFocusReason) {
        Finish(kNoInput);
    }
}

void ValueEdit::CheckEdited(const QString& text) {
    if (text.isEmpty() || owner_.AcceptsTypedText(text)) {
        RememberAccepted();
        WidenToText();
    } else {
        RestoreAccepted();
    }
}

void ValueEdit::RememberAccepted() {
    acceptedText_ = text();
    const int cursor = cursorPosition();
    int anchor = cursor;
    if (hasSelectedText()) {
        anchor = selectionStart() == cursor ? selectionEnd() : selectionStart();
    }
    acceptedSelection_ = {anchor, cursor};
}

void ValueEdit::RestoreAccepted() {
    setText(acceptedText_);
    if (acceptedSelection_.anchor == acceptedSelection_.cursor) {
        setCursorPosition(acceptedSelection_.cursor);
    } else {
        setSelection(acceptedSelection_.anchor, acceptedSelection_.cursor - acceptedSelection_.anchor);
    }
}

void ValueEdit::WidenToText() {
    const QWidget* area = parentWidget();
    if (area == nullptr) {
        return;
    }
    const int wanted = fontMetrics().horizontalAdvance(text() + QStringLiteral("  ")) + textMargins().left() +
                       textMargins().right();
    if (wanted <= width()) {
        return;
    }
    // The Value column reaches the list's right edge, so the box grows to the left, over the name, and
    // never past the list's width.
    const int right = geometry().right();
    const int grown = std::min({wanted, area->width(), right + 1});
    setGeometry(right + 1 - grown, y(), grown, height());
}

void ValueEdit::closeEvent(QCloseEvent* event) {
    // Closing the editor is how the list ends an edit from outside, as a loss of focus would.
    Finish(kNoInput);
    QLineEdit::closeEvent(event);
}

void ValueEdit::Finish(int key) {
    if (finished_) {
        return;
    }
    finished_ = true;
    owner_.EditEnded({text(), -1}, key);
}

}  // namespace tessaly
