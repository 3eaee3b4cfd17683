#pragma once

#include <QLabel>
#include <QPoint>

namespace tessaly {

// The tip shown beside the item list's editor: a small always-on-top window that never takes the focus,
// at most kMaxWidth pixels wide, placed with the middle of its top edge on a point of the screen.
class BalloonTip : public QLabel {
    Q_OBJECT

  public:
    static constexpr int kMaxWidth = 300;

    explicit BalloonTip(QWidget* parent);

    // Shows text (lines may end in CR LF) with its top centred on point, in global coordinates.
    void ShowAt(const QString& text, QPoint point);
    // Places the shown tip on a new point.
    void MoveTo(QPoint point);
};

}  // namespace tessaly
