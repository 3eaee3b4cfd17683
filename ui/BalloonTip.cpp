#include "ui/BalloonTip.h"

#include <QToolTip>

namespace tessaly {

BalloonTip::BalloonTip(QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMaximumWidth(kMaxWidth);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(4);
}

void BalloonTip::ShowAt(const QString& text, QPoint point) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(lines);
    adjustSize();
    MoveTo(point);
    show();
}

void BalloonTip::MoveTo(QPoint point) {
    move(point.x() - width() / 2, point.y());
}

}  // namespace tessaly
