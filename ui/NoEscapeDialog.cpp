#include "ui/NoEscapeDialog.h"

#include <QKeyEvent>

namespace tessaly {

NoEscapeDialog::NoEscapeDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void NoEscapeDialog::keyPressEvent(QKeyEvent* event) {
    // QDialog rejects on the cancel key (Escape); taking the key here keeps the dialog open.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tessaly
