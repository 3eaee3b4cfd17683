// The application's start-up and exit, each test with an application of its own in a working directory of
// its own, where the settings file is named after this test program.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#include "FrameTestSupport.h"
#include "app/CVardelApp.h"
#include "settings/IniPath.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/CVardelView.h"

namespace tessaly {
namespace {

const char kTemplate[] =
    "[Board, I2C8]\n"
    "Speed = NUM, 1, 64-C8, DEC\n";

class CVardelAppTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> work;
    test::RecordingPrompt prompt;
    int argc = 0;
    std::vector<QByteArray> arguments;
    std::vector<char*> argv;

    QString PathOf(const QString& name) const { return work->filePath(name); }
    QString IniPath() const { return QString::fromStdString(GetIniPath(GetExecutableName()).string()); }

    void WriteIni(const char* text) {
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QString ReadIni() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // An application as the shell starts it, with the given command-line arguments after the program.
    std::unique_ptr<CVardelApp> NewApp(const QStringList& given = {}) {
        arguments = {QByteArray("app_test")};
        for (const QString& argument : given) {
            arguments.push_back(argument.toLocal8Bit());
        }
        argv.clear();
        for (QByteArray& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        argc = static_cast<int>(arguments.size());
        return std::make_unique<CVardelApp>(argc, argv.data(), &prompt);
    }

  private slots:
    void init() {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        QVERIFY(QDir::setCurrent(work->path()));
        prompt = test::RecordingPrompt();
        WriteIni("[Config]\nPlugin=None\nPort=None\n");
    }

    void aTemplateOnTheCommandLineOpensAtStart() {
        QVERIFY(test::WriteTemplate(PathOf("board.dev"), kTemplate));
        auto app = NewApp({PathOf("board.dev")});
        QVERIFY(app->InitInstance());
        QVERIFY(app->MainFrame()->isVisible());
        QVERIFY(app->MainFrame()->acceptDrops());
        QCOMPARE(app->Document()->GetUnitCount(), 1u);
        QCOMPARE(app->MainFrame()->windowTitle(), QStringLiteral("board.dev - Tessaly"));
        QCOMPARE(app->ExitInstance(), 0);
    }

    void withoutATemplateTheWindowShowsAnEmptyDocument() {
        auto app = NewApp();
        QVERIFY(app->InitInstance());
        QVERIFY(app->MainFrame()->isVisible());
        QCOMPARE(app->Document()->GetUnitCount(), 0u);
        QCOMPARE(app->MainFrame()->windowTitle(), QStringLiteral("Untitled - Tessaly"));
    }

    void aTemplateThatCannotBeParsedEndsTheProgramBeforeItsWindowShows() {
        QVERIFY(test::WriteTemplate(PathOf("broken.dev"), "[Board, I2C8]\nSpeed = NOPE, 1\n"));
        auto app = NewApp({PathOf("broken.dev")});
        QVERIFY(!app->InitInstance());
        QVERIFY(!app->MainFrame()->isVisible());
        QCOMPARE(prompt.Texts(PromptIcon::Error).size(), 1u);
        QVERIFY(QString::fromStdString(prompt.Texts(PromptIcon::Error)[0])
                    .contains(QStringLiteral("broken.dev")));
    }

    void aMissingTemplateEndsTheProgramWithAFailure() {
        auto app = NewApp({PathOf("missing.dev")});
        QCOMPARE(app->Run(), 1);
        QVERIFY(app->MainFrame() == nullptr);
        QCOMPARE(prompt.Texts(PromptIcon::Error).size(), 1u);
        // The settings are written all the same, without a size from the window that never showed.
        QVERIFY(ReadIni().contains(QStringLiteral("Size=0,0")));
    }

    void settingsAreWrittenAfterTheWindowHasGoneAndReadAtTheNextStart() {
        auto app = NewApp();
        QVERIFY(app->InitInstance());
        CMainFrame& frame = *app->MainFrame();
        frame.resize(930, 640);
        QTRY_COMPARE(frame.size(), QSize(930, 640));
        const QSize outer = frame.frameGeometry().size();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(13);
        font.setBold(true);
        frame.ActiveView()->List().SetListFont(font);
        QCOMPARE(app->ExitInstance(), 0);
        const QString ini = ReadIni();
        // Stored by the window, frame included, and by its view as they went, before the file was written.
        QVERIFY2(ini.contains(QStringLiteral("Size=%1,%2").arg(outer.width()).arg(outer.height())),
                 qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("Font=DejaVu Sans,13,1,0,")), qPrintable(ini));
        QVERIFY(ini.contains(QStringLiteral("Plugin=None")));
        app.reset();
        auto next = NewApp();
        QVERIFY(next->InitInstance());
        QCOMPARE(next->MainFrame()->frameGeometry().size(), outer);
    }

    void aTerminationSignalEndsTheProgramAsClosingItsWindowDoes() {
        QVERIFY(test::WriteTemplate(PathOf("board.dev"), kTemplate));
        auto app = NewApp({PathOf("board.dev")});
        QSize outer;
        QTimer::singleShot(200, [&app, &outer] {
            CMainFrame& frame = *app->MainFrame();
            outer = QSize(870, 590) + frame.frameGeometry().size() - frame.size();
            frame.resize(870, 590);
            ::raise(SIGTERM);
        });
        QCOMPARE(app->Run(), 0);
        QVERIFY(app->MainFrame() == nullptr);
        QVERIFY(QFile::exists(PathOf("board.cfg")));
        QVERIFY(ReadIni().contains(QStringLiteral("Size=%1,%2").arg(outer.width()).arg(outer.height())));
    }

    void anUnknownLanguageStartsInEnglishAndStaysInTheSettings() {
        WriteIni("[Config]\nLanguage=Klingon\nPlugin=None\nPort=None\n");
        auto app = NewApp();
        QVERIFY(app->InitInstance());
        QCOMPARE(QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)), QStringLiteral("No plugin"));
        app->ExitInstance();
        QVERIFY(ReadIni().contains(QStringLiteral("Language=Klingon")));
    }

    void openedTemplatesAreRememberedForTheNextRun() {
        QVERIFY(test::WriteTemplate(PathOf("board.dev"), kTemplate));
        {
            auto app = NewApp({PathOf("board.dev")});
            QVERIFY(app->InitInstance());
        }
        QVERIFY(QFile::exists(PathOf("board.cfg")));
        QVERIFY(QFile::remove(PathOf("board.dev")));
        auto app = NewApp();
        QVERIFY(app->InitInstance());
        QMenu* file = app->MainFrame()->menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        bool listed = false;
        for (const QAction* action : file->actions()) {
            listed = listed || action->text().endsWith(QStringLiteral("/board.dev"));
        }
        QVERIFY(listed);
    }
};

}  // namespace
}  // namespace tessaly

int main(int argc, char** argv) {
    // Before any QSettings: the user's profile store goes to a directory of this run's own.
    QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toLocal8Bit());
    // Each test makes its own application, and with it the QApplication.
    tessaly::CVardelAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CVardelAppTest.moc"
