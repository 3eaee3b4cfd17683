#pragma once

#include <QTimer>
#include <filesystem>

#include "ui/ButtonBounce.h"
#include "ui/NoEscapeDialog.h"
#include "ui/VersionInfo.h"

class QLabel;
class QPushButton;

namespace tessaly {

// The About box: the program's version and build number and its legal notice, read from the version
// block of the executable's file, over an OK button that will not keep still (ButtonBounce). It closes
// with OK, Enter or the window's close command, never with Escape. Run it modally; it has no result.
class AboutBox : public NoEscapeDialog {
    Q_OBJECT

  public:
    // executable is the file whose version block is shown; the labels stay empty when it has none.
    explicit AboutBox(QWidget* parent = nullptr, const std::filesystem::path& executable = kOwnExecutable);

  private:
    void ShowVersion(const std::filesystem::path& executable);
    void MoveButton();

    QLabel* version_;
    QLabel* notice_;
    QPushButton* ok_;
    QTimer timer_;
    ButtonBounce bounce_;
};

}  // namespace tessaly
