#pragma once

#include <QDialog>

namespace tessaly {

// A dialog that Escape does not close: the load's progress display cannot be cancelled, and the About box
// closes only with its OK button, Enter or the window's close command.
class NoEscapeDialog : public QDialog {
    Q_OBJECT

  public:
    explicit NoEscapeDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tessaly
