#include "settings/ListFont.h"

#include "settings/AppSettings.h"
#include "settings/MulDiv.h"

namespace tessaly {

namespace {

constexpr std::int32_t kPointsPerInch = 72;

}  // namespace

int FontWeight(std::uint8_t fontFlags) {
    return (fontFlags & kFontBold) != 0 ? kFontWeightBold : kFontWeightNormal;
}

bool IsBoldWeight(int weight) {
    return weight >= kFontWeightBold;
}

std::int32_t PointsToHeight(std::int32_t points, std::int32_t dpi) {
    return -MulDiv(points, dpi, kPointsPerInch);
}

std::int32_t HeightToPoints(std::int32_t height, std::int32_t dpi) {
    return -MulDiv(height, kPointsPerInch, dpi);
}

}  // namespace tessaly
