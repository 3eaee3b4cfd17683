#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace tessaly {

// Converts the dialog units in which the dialogs' layouts are drawn up into pixels of a widget's font: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an eighth of its
// height, so a box keeps its proportions whatever font the desktop uses.
class DialogUnits {
  public:
    explicit DialogUnits(const QWidget& widget);

    int X(int units) const;
    int Y(int units) const;
    QSize Size(int width, int height) const;
    QRect Rect(int x, int y, int width, int height) const;

  private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace tessaly
