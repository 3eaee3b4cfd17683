#pragma once

#include <QLineEdit>

#include "ui/InPlaceEditor.h"

namespace tessaly {

// The item list's in-place edit box. Every change the user makes is put to the owner at once, and a change
// it does not accept is undone on the spot, text and selection, so the box only ever holds acceptable
// text (or nothing). The box ends the edit on Tab, Shift+Tab, Enter, Escape (after putting the initial text
// back), Up, Down, Page Up and Page Down, when it loses the focus and when it is closed. While the user
// types, the box grows to fit its text.
class ValueEdit : public InPlaceEditor<QLineEdit> {
    Q_OBJECT

  public:
    ValueEdit(ValueEditorOwner& owner, const QString& initialText, QWidget* parent);

    // Applies the key that started the edit: Backspace deletes the last character, anything else selects
    // the whole text, which typed, the character the key typed (if any), then replaces as typing would.
    void ApplyStartKey(int key, const QString& typed = {});

  protected:
    void RestoreInitial() override { setText(initialText_); }
    EditedValue CurrentValue() const override { return {text(), -1}; }

  private:
    struct Selection {
        int anchor = 0;
        int cursor = 0;
    };

    void CheckEdited(const QString& text);
    void RememberAccepted();
    void RestoreAccepted();
    void WidenToText();

    QString initialText_;
    QString acceptedText_;
    Selection acceptedSelection_;
};

}  // namespace tessaly
