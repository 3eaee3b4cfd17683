#include "ui/ProgressDisplay.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>
#include <limits>

#include "ui/DialogUnits.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

// The bar counts in int from 0; addresses are unsigned 32-bit, so a range too wide for int is scaled
// down by a power of two.
int ScaleShift(std::uint32_t span) {
    int shift = 0;
    while ((span >> shift) > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        ++shift;
    }
    return shift;
}

}  // namespace

ProgressDisplay::ProgressDisplay(QWidget& messagePane, QWidget& frame) : messagePane_(messagePane) {
    bar_ = new QProgressBar(messagePane.parentWidget());
    bar_->setTextVisible(false);
    // An empty range would animate as a busy bar; the worker sets the real range at its first step.
    bar_->setRange(0, 1);
    bar_->setValue(0);
    PlaceBar();
    bar_->show();
    bar_->raise();
    messagePane_.installEventFilter(this);

    // A tool window of the frame stays above it and never takes the focus from it, so the keys keep
    // reaching the frame while an operation runs and after it.
    window_ = new QFrame(&frame, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setFrameStyle(QFrame::Box | QFrame::Plain);
    text_ = new QLabel(window_);
    text_->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(text_);
    const DialogUnits units(*window_);
    window_->setFixedSize(units.Size(kWindowWidthUnits, kWindowHeightUnits));
    const QRect frameRect = frame.frameGeometry();
    window_->move(frameRect.center() - QPoint(window_->width() / 2, window_->height() / 2));
    window_->show();
}

ProgressDisplay::~ProgressDisplay() {
    messagePane_.removeEventFilter(this);
    delete bar_;
    delete window_;
}

void ProgressDisplay::Show(const WorkerOwnerBridge::Progress& progress) {
    if (!IsComplete()) {
        return;
    }
    text_->setText(ToDisplay(progress.text));
    // The position may stand one past the last address when a step ends.
    const std::uint32_t span = progress.last >= progress.first ? progress.last - progress.first + 1 : 0;
    const int shift = ScaleShift(span);
    const std::uint32_t done =
        progress.position > progress.first ? std::min(progress.position - progress.first, span) : 0;
    bar_->setRange(0, static_cast<int>(span >> shift));
    bar_->setValue(static_cast<int>(done >> shift));
}

QString ProgressDisplay::Text() const {
    return text_ != nullptr ? text_->text() : QString();
}

int ProgressDisplay::BarValue() const {
    return bar_ != nullptr ? bar_->value() : 0;
}

int ProgressDisplay::BarMaximum() const {
    return bar_ != nullptr ? bar_->maximum() : 0;
}

QRect ProgressDisplay::BarGeometry() const {
    return bar_ != nullptr ? bar_->geometry() : QRect();
}

bool ProgressDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &messagePane_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        PlaceBar();
    }
    return QObject::eventFilter(watched, event);
}

void ProgressDisplay::PlaceBar() {
    if (bar_ != nullptr) {
        bar_->setGeometry(messagePane_.geometry());
    }
}

}  // namespace tessaly
