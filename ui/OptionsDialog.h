#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "device/ExecutableDirectory.h"
#include "settings/AppSettings.h"
#include "text/Prompt.h"

class QTabWidget;

namespace tessaly {

class OptionsPage;

// The Options dialog: the General and Hardware pages over one copy of the settings.
//
// Run it modally; when it ends with Accepted, Settings() holds every page's values and the caller applies
// what it takes from them. The copy is taken when the dialog is made, so Cancel, or destroying the dialog,
// leaves the caller's settings as they were. OK asks each page in order to store its values and, at the
// first page that rejects one, shows that page and names the field in an "Invalid parameter" box through
// prompt; the dialog then stays open. The Hardware page also asks through prompt whether to install a
// chosen plug-in's missing driver.
class OptionsDialog : public QDialog {
    Q_OBJECT

  public:
    // Plug-ins are looked for in pluginDirectory (with its trailing slash).
    OptionsDialog(const AppSettings& settings, Prompt& prompt,
                  const std::string& pluginDirectory = ExecutableDirectory(), QWidget* parent = nullptr);

    const AppSettings& Settings() const { return settings_; }

    void accept() override;

  private:
    AppSettings settings_;
    Prompt& prompt_;
    QTabWidget* tabs_;
    std::array<OptionsPage*, 2> pages_{};
};

}  // namespace tessaly
