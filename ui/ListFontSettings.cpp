#include "ui/ListFontSettings.h"

#include <algorithm>

#include "settings/ListFont.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

constexpr int kLargestStoredSize = 255;

}  // namespace

QFont ListFontFromSettings(const AppSettings& settings) {
    QFont font(ToDisplay(settings.fontFace.View()));
    if (settings.fontSize > 0) {
        font.setPointSize(settings.fontSize);
    }
    font.setWeight(static_cast<QFont::Weight>(FontWeight(settings.fontFlags)));
    font.setItalic((settings.fontFlags & kFontItalic) != 0);
    return font;
}

void StoreListFont(const QFont& font, int dpi, AppSettings& settings) {
    settings.fontFace.Set(FromDisplay(font.family()));
    const int points = font.pointSize() > 0 ? font.pointSize() : HeightToPoints(-font.pixelSize(), dpi);
    settings.fontSize = static_cast<std::uint8_t>(std::clamp(points, 0, kLargestStoredSize));
    std::uint8_t flags = 0;
    if (IsBoldWeight(font.weight())) {
        flags |= kFontBold;
    }
    if (font.italic()) {
        flags |= kFontItalic;
    }
    settings.fontFlags = flags;
}

}  // namespace tessaly
