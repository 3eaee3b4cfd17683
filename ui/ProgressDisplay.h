#pragma once

#include <QFrame>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QString>

#include "ui/WorkerOwnerBridge.h"

class QLabel;

namespace tessaly {

// What a device operation shows while it runs: a progress bar lying over the status bar's message pane,
// and a small caption-less window centred over the main frame with one line naming the step. Both exist
// exactly as long as this object; the bar follows the message pane whenever the pane moves or changes
// size (as when the frame is resized).
class ProgressDisplay : public QObject {
    Q_OBJECT

  public:
    // The text window's size in dialog units.
    static constexpr int kWindowWidthUnits = 186;
    static constexpr int kWindowHeightUnits = 25;

    ProgressDisplay(QWidget& messagePane, QWidget& frame);
    ~ProgressDisplay() override;
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // False when the bar or the window could not be made, or has gone since.
    bool IsComplete() const { return bar_ != nullptr && window_ != nullptr; }

    // Shows the worker's latest values: the step's name, and the position within the address range.
    void Show(const WorkerOwnerBridge::Progress& progress);

    QString Text() const;
    int BarValue() const;
    int BarMaximum() const;
    QRect BarGeometry() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceBar();

    QWidget& messagePane_;
    QPointer<QProgressBar> bar_;
    QPointer<QFrame> window_;
    QLabel* text_ = nullptr;
};

}  // namespace tessaly
