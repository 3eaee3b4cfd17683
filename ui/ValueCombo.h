#pragma once

#include <QComboBox>
#include <QStringList>

#include "ui/InPlaceEditor.h"

namespace tessaly {

// The item list's in-place drop-down list: the owner's texts only, no free text. It starts on the entry
// equal to the row's value text, or shows that text without choosing an entry when there is none. It ends
// the edit on Tab, Shift+Tab, Enter, Escape (after choosing the initial entry again), Up, Down, Page Up and
// Page Down, which therefore do not move within the closed list, and when the focus goes to another window
// or widget, and when it is closed.
class ValueCombo : public InPlaceEditor<QComboBox> {
    Q_OBJECT

  public:
    ValueCombo(ValueEditorOwner& owner, const QStringList& texts, const QString& initialText,
               QWidget* parent);

    // Chooses the first entry that begins with prefix, whatever the letter case; nothing changes when no
    // entry does or prefix is empty.
    void ChooseByPrefix(const QString& prefix);

  protected:
    void RestoreInitial() override { setCurrentIndex(initialIndex_); }
    EditedValue CurrentValue() const override;

  private:
    void WidenDropDown(const QStringList& texts);

    int initialIndex_ = -1;
};

}  // namespace tessaly
