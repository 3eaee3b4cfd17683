#pragma once

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>

#include "ui/EditedValue.h"
#include "ui/InputKey.h"
#include "ui/ValueEditorOwner.h"

namespace tessaly {

// What the item list's in-place editors share: the edit ends on Tab, Shift+Tab, Enter, Escape (after the
// editor has put its initial value back), Up, Down, Page Up and Page Down, when the focus goes anywhere but
// the editor's own popup, and when the editor is closed, which is how the list ends an edit from outside.
// The owner hears of the end once, with the value the editor then holds.
template <class Widget>
class InPlaceEditor : public Widget {
  public:
    InPlaceEditor(ValueEditorOwner& owner, QWidget* parent) : Widget(parent), owner_(owner) {}

  protected:
    virtual void RestoreInitial() = 0;
    virtual EditedValue CurrentValue() const = 0;

    bool event(QEvent* event) override {
        // Tab and Shift+Tab would move the focus before keyPressEvent saw them; here they end the edit.
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
                Finish(key);
                return true;
            }
        }
        return Widget::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key() == Qt::Key_Enter ? Qt::Key_Return : event->key();
        if (!EndsEdit(key)) {
            Widget::keyPressEvent(event);
            return;
        }
        if (key == Qt::Key_Escape) {
            RestoreInitial();
        }
        Finish(key);
    }

    void focusOutEvent(QFocusEvent* event) override {
        Widget::focusOutEvent(event);
        // A drop-down's list and an edit box's context menu take the focus for a while; the edit goes on.
        if (event->reason() != Qt::PopupFocusReason) {
            Finish(kNoInput);
        }
    }

    void closeEvent(QCloseEvent* event) override {
        Finish(kNoInput);
        Widget::closeEvent(event);
    }

    ValueEditorOwner& owner_;

  private:
    static bool EndsEdit(int key) {
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

    void Finish(int key) {
        if (finished_) {
            return;
        }
        finished_ = true;
        owner_.EditEnded(CurrentValue(), key);
    }

    bool finished_ = false;
};

}  // namespace tessaly
