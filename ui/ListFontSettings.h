#pragma once

#include <QFont>

#include "settings/AppSettings.h"

namespace tessaly {

// The item list's font as the settings keep it: face, size in points, bold, italic and character set.

// The font the settings describe. A size of 0 (settings never loaded) keeps the default size.
QFont ListFontFromSettings(const AppSettings& settings);

// Writes font's face, size in points, bold and italic into settings; a font sized in pixels is converted
// for a display of dpi pixels per inch. Qt fonts have no character set, so fontCharSet keeps its value and
// goes back to the settings file as it came.
void StoreListFont(const QFont& font, int dpi, AppSettings& settings);

}  // namespace tessaly
