#pragma once

#include <cstdint>

namespace tessaly {

// The item list's font is kept in AppSettings as a face, a size in points, kFontBold and kFontItalic and
// a character set; these convert between that and what a font is created with.

inline constexpr int kFontWeightNormal = 400;
inline constexpr int kFontWeightBold = 700;

// kFontWeightBold when fontFlags has kFontBold, kFontWeightNormal otherwise.
int FontWeight(std::uint8_t fontFlags);

// A font read back counts as bold from kFontWeightBold up.
bool IsBoldWeight(int weight);

// Points to a logical font height for a display of dpi vertical pixels per inch:
// -MulDiv(points, dpi, 72), negative because it is a character height without internal leading.
std::int32_t PointsToHeight(std::int32_t points, std::int32_t dpi);

// A logical font height back to points: -MulDiv(height, 72, dpi).
std::int32_t HeightToPoints(std::int32_t height, std::int32_t dpi);

}  // namespace tessaly
