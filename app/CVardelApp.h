#pragma once

#include <QApplication>
#include <memory>

#include "document/CVardelDoc.h"
#include "settings/AppSettings.h"
#include "settings/QSettingsProfileStore.h"
#include "text/Prompt.h"
#include "ui/CMainFrame.h"
#include "ui/RecentFileList.h"

namespace tessaly {

// The application: it owns the QApplication, the settings record, the document and the main window, and
// starts and ends the program in a fixed order (InitInstance, ExitInstance).
//
// The settings are read at start-up and written at exit, after the main window and the document have
// gone, so that the window size and list font of the ending run are the ones stored.
class CVardelApp {
  public:
    // Every box goes through prompt; without one the application shows message boxes.
    CVardelApp(int& argc, char** argv, Prompt* prompt = nullptr);
    ~CVardelApp();
    CVardelApp(const CVardelApp&) = delete;
    CVardelApp& operator=(const CVardelApp&) = delete;

    // Start-up: the message table and the language, the settings, the recent files, the document and the
    // main window; a template named on the command line is opened before the window shows. False when it
    // cannot be opened: the program then ends without showing its window.
    bool InitInstance();
    // Exit: the main window and the document go, then the settings, the language texts and the recent
    // files are written or freed. Returns the program's exit code.
    int ExitInstance();
    // InitInstance, the event loop until the main window closes (or SIGINT, SIGTERM or SIGHUP ask to),
    // ExitInstance.
    int Run();

    AppSettings& Settings() { return settings_; }
    // Null before InitInstance and after ExitInstance.
    CMainFrame* MainFrame() const { return frame_.get(); }
    CVardelDoc* Document() const { return document_.get(); }

  private:
    // The first argument that is not an option; empty when there is none.
    QString TemplateArgument() const;

    QApplication application_;
    Prompt* prompt_;
    std::unique_ptr<Prompt> ownPrompt_;
    AppSettings settings_;
    std::unique_ptr<QSettingsProfileStore> store_;
    std::unique_ptr<RecentFileList> recentFiles_;
    std::unique_ptr<CVardelDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
    bool started_ = false;
};

}  // namespace tessaly
