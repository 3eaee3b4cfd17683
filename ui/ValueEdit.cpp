#include "ui/ValueEdit.h"

#include <algorithm>

namespace tessaly {

ValueEdit::ValueEdit(ValueEditorOwner& owner, const QString& initialText, QWidget* parent)
    : InPlaceEditor(owner, parent), initialText_(initialText), acceptedText_(initialText) {
    setText(initialText);
    setFrame(false);
    // textEdited reports the user's changes only, so the undo below does not check itself again.
    connect(this, &QLineEdit::textEdited, this, &ValueEdit::CheckEdited);
}

void ValueEdit::ApplyStartKey(int key, const QString& typed) {
    if (key == Qt::Key_Backspace) {
        end(false);
        backspace();  // reports through textEdited like a typed Backspace
    } else {
        selectAll();
    }
    RememberAccepted();
    if (!typed.isEmpty()) {
        insert(typed);  // checked through textEdited like a typed key
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

}  // namespace tessaly
