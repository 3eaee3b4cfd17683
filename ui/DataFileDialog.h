#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tessaly {

enum class DataFileAccess { Import, Export };

// Asks the user for a template data file and gives its full path, or an empty text when the user cancels.
// The item view asks through this, so tests can answer without a dialog.
using DataFileChooser = std::function<QString(DataFileAccess access)>;

// The platform's file dialog: an open dialog for Import and a save dialog, which asks before overwriting an
// existing file, for Export. It starts in the current directory with one filter per format, template data
// files (*.tdf) first, and adds the chosen filter's first extension to a name typed without one.
QString AskDataFile(QWidget* parent, DataFileAccess access);

}  // namespace tessaly
