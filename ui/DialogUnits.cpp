#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace tessaly {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = sizeof(kAlphabet) - 1;

}  // namespace

DialogUnits::DialogUnits(const QWidget& widget) {
    const QFontMetrics metrics = widget.fontMetrics();
    // The average over both alphabets, rounded half up, as dialog templates have always measured it.
    baseWidth_ = (metrics.horizontalAdvance(QLatin1String(kAlphabet)) / (kAlphabetLength / 2) + 1) / 2;
    baseHeight_ = metrics.height();
}

int DialogUnits::X(int units) const {
    return units * baseWidth_ / 4;
}

int DialogUnits::Y(int units) const {
    return units * baseHeight_ / 8;
}

QSize DialogUnits::Size(int width, int height) const {
    return {X(width), Y(height)};
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

}  // namespace tessaly
