#pragma once

#include <QRect>
#include <cstdint>
#include <optional>

namespace tessaly {

// The way the About box's OK button moves: it rests for a moment, then travels one pixel per tick down
// to kBottomGap pixels above the box's bottom edge, back up to its starting height, and so on.
class ButtonBounce {
  public:
    static constexpr std::uint32_t kTickMs = 20;
    static constexpr std::uint32_t kRestMs = 1500;
    static constexpr int kBottomGap = 15;

    // One tick, given the box's window rectangle and the button's, both in screen coordinates: the
    // button's new rectangle, or nothing while it rests. A turn takes effect from the next tick; this
    // tick's pixel is always moved.
    std::optional<QRect> Tick(const QRect& box, const QRect& button);

  private:
    std::uint32_t restedMs_ = 0;
    std::int32_t step_ = 1;  // +1 down, -1 up
    // The button's top edge below the box's top edge at its starting place. It is taken when the rest
    // ends, not when the box opens: the window manager may add the box's frame only after it is shown,
    // and the button has not moved before then.
    std::optional<std::int32_t> topOffset_;
};

}  // namespace tessaly
