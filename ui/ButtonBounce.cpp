#include "ui/ButtonBounce.h"

namespace tessaly {

std::optional<QRect> ButtonBounce::Tick(const QRect& box, const QRect& button) {
    if (restedMs_ < kRestMs) {
        restedMs_ += kTickMs;
        return std::nullopt;
    }
    if (!topOffset_) {
        topOffset_ = button.top() - box.top();
    }
    const QRect moved = button.translated(0, step_);
    const bool turns =
        step_ > 0 ? box.bottom() - moved.bottom() <= kBottomGap : moved.top() - box.top() <= *topOffset_;
    if (turns) {
        step_ = -step_;
    }
    return moved;
}

}  // namespace tessaly
