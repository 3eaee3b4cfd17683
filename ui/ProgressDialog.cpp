#include "ui/ProgressDialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <limits>

#include "ui/DialogUnits.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

// The progress bar counts in int; a file beyond that many bytes shows as full a little early.
int ToBarValue(std::uint32_t value) {
    return static_cast<int>(std::min<std::uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent)
    : NoEscapeDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint),
      path_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
    const DialogUnits units(*this);
    setFixedSize(units.Size(223, 62));
    path_->setObjectName(QStringLiteral("path"));
    path_->setGeometry(units.Rect(16, 7, 191, 8));
    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setGeometry(units.Rect(28, 28, 166, 14));
    bar_->setTextVisible(false);
}

void ProgressDialog::Begin(const std::string& path, std::uint32_t range) {
    path_->setText(ToDisplay(path));
    bar_->setRange(0, ToBarValue(range));
    bar_->setValue(0);
    show();
    Repaint();
}

void ProgressDialog::SetPosition(std::uint32_t position) {
    bar_->setValue(ToBarValue(position));
    Repaint();
}

void ProgressDialog::End() {
    hide();
    Repaint();
}

void ProgressDialog::Repaint() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tessaly
