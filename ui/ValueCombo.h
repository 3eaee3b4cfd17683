#pragma once

#include <QComboBox>
#include <QStringList>

#include "ui/ValueEditorOwner.h"

namespace tessaly {

// The item list's in-place drop-down list: the owner's texts only, no free text. It starts on the entry
// equal to the row's value text, or shows that text without choosing an entry when there is none. It ends
// the edit on Tab, Shift+Tab, Enter, Escape (after choosing the initial entry again), Up, Down, Page Up and
// Page Down, which therefore do not move within the closed list, and when the focus goes to another window
// or widget, and when it is closed.
class ValueCombo : public QComboBox {
    Q_OBJECT

  public:
    ValueCombo(ValueEditorOwner& owner, const QStringList& texts, const QString& initialText,
               QWidget* parent);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void WidenDropDown(const QStringList& texts);
    void Finish(int key);

    ValueEditorOwner& owner_;
    int initialIndex_ = -1;
    bool finished_ = false;
};

}  // namespace tessaly
