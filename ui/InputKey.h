#pragma once

namespace tessaly {

// The input that starts or ends an in-place edit of the item list: a Qt::Key code, or one of these. Qt's key
// codes leave 0 to 0x1F unused, so the two mouse buttons can share the same number space.
inline constexpr int kNoInput = 0;
inline constexpr int kLeftButtonInput = 1;
inline constexpr int kRightButtonInput = 2;

}  // namespace tessaly
