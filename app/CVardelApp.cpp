#include "app/CVardelApp.h"

#include <QGuiApplication>
#include <QIcon>
#include <QStringList>

#include "app/QuitOnSignal.h"
#include "settings/IniPath.h"
#include "text/LanguageDirectories.h"
#include "text/LanguageList.h"
#include "ui/QtPrompt.h"

namespace tessaly {
namespace {

constexpr int kExitFailure = 1;

QIcon ApplicationIcon() {
    QIcon icon;
    for (const char* size : {"32", "64", "256"}) {
        icon.addFile(QStringLiteral(":/icons/tessaly-%1.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace

CVardelApp::CVardelApp(int& argc, char** argv, Prompt* prompt) : application_(argc, argv), prompt_(prompt) {
    if (prompt_ == nullptr) {
        ownPrompt_ = std::make_unique<QtPrompt>();
        prompt_ = ownPrompt_.get();
    }
    QApplication::setWindowIcon(ApplicationIcon());
}

CVardelApp::~CVardelApp() {
    if (started_) {
        ExitInstance();
    }
}

bool CVardelApp::InitInstance() {
    started_ = true;
    // The profile store's company and application keys, and the desktop entry the window belongs to.
    QCoreApplication::setOrganizationName(QLatin1String(QSettingsProfileStore::kCompanyKey));
    QCoreApplication::setApplicationName(QLatin1String(QSettingsProfileStore::kApplicationKey));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));
    store_ = std::make_unique<QSettingsProfileStore>();

    LoadLanguageList(LanguageDirectories());
    LoadSettings(settings_, *store_, GetExecutableName());
    // An unknown language leaves the built-in English in force and stays in the settings.
    SetLanguage(settings_.language.View());
    recentFiles_ = std::make_unique<RecentFileList>(settings_.mruSize);
    recentFiles_->Read(*store_);

    document_ = std::make_unique<CVardelDoc>(*prompt_);
    frame_ = std::make_unique<CMainFrame>(settings_, *document_, *recentFiles_, *prompt_);
    const QString file = TemplateArgument();
    if (!file.isEmpty() && !frame_->OpenTemplate(file)) {
        return false;
    }
    frame_->setAcceptDrops(true);
    frame_->show();
    return true;
}

int CVardelApp::ExitInstance() {
    if (!started_) {
        return 0;
    }
    started_ = false;
    // The window first (it stores its size and stops the worker), then the document (it saves the
    // values), and only then the settings, so that they hold what the ending run left in them.
    frame_.reset();
    document_.reset();
    SaveSettings(settings_, *store_, GetExecutableName());
    FreeLanguages();
    recentFiles_->Write(*store_);
    store_.reset();
    return 0;
}

int CVardelApp::Run() {
    if (!InitInstance()) {
        ExitInstance();
        return kExitFailure;
    }
    int code = 0;
    {
        const QuitOnSignal quitOnSignal;
        code = QApplication::exec();
    }
    ExitInstance();
    return code;
}

QString CVardelApp::TemplateArgument() const {
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        if (!arguments[index].startsWith(QLatin1Char('-'))) {
            return arguments[index];
        }
    }
    return {};
}

}  // namespace tessaly
