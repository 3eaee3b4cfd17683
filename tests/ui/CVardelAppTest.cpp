// The application's start-up and exit, each test with an application of its own in a working directory of
// its own, where the settings file is named after this test program.

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "app/CVardelApp.h"
#include "settings/IniPath.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/CVardelView.h"

namespace tessaly {
namespace {

class CVardelAppTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> work;
    test::RecordingPrompt prompt;
    int argc = 0;
    std::vector<QByteArray> arguments;
    std::vector<char*> argv;

    QString PathOf(const QString& name) const { return work->filePath(name); }
    std::filesystem::path IniPath() const { return GetIniPath(GetExecutableName()); }
    QString Ini() const { return QString::fromStdString(test::ReadBytes(IniPath())); }

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
        test::WriteBytes(IniPath(), "[Config]\nPlugin=None\nPort=None\n");
        test::WriteBytes(PathOf("board.dev").toStdString(),
                         test::EncodedScript({"[Board, I2C8]", "Speed = NUM, 1, 64-C8, DEC"}));
    }

    // The program ends with a failure before its window shows, the settings are written all the same.
    void aTemplateThatDoesNotOpenEndsTheProgram() {
        auto app = NewApp({PathOf("missing.dev")});
        QCOMPARE(app->Run(), 1);
        QVERIFY(app->MainFrame() == nullptr);
        QCOMPARE(prompt.Errors().size(), 1u);
        QVERIFY(Ini().contains(QStringLiteral("Size=0,0")));
    }

    // The template on the command line opens before the window shows; a termination signal ends the
    // program as closing its window does: what the view and the document store as they go is in the files
    // written after them, and the next run lists the template among its recent files.
    void aTemplateOnTheCommandLineOpensAndASignalEndsTheProgram() {
        auto app = NewApp({PathOf("board.dev")});
        QTimer::singleShot(200, [&app] {
            CMainFrame& frame = *app->MainFrame();
            QVERIFY(frame.isVisible() && frame.acceptDrops());
            QCOMPARE(app->Document()->GetUnitCount(), 1u);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(13);
            font.setBold(true);
            frame.ActiveView()->List().SetListFont(font);
            ::raise(SIGTERM);
        });
        QCOMPARE(app->Run(), 0);
        QVERIFY(app->MainFrame() == nullptr);
        QVERIFY(QFile::exists(PathOf("board.cfg")));
        QVERIFY2(Ini().contains(QStringLiteral("Font=DejaVu Sans,13,1,0,")), qPrintable(Ini()));
        app.reset();
        auto next = NewApp();
        QVERIFY(next->InitInstance());
        QCOMPARE(next->Document()->GetUnitCount(), 0u);
        QMenu* file = next->MainFrame()->menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        const auto entries = file->actions();
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](const QAction* entry) { return entry->text().endsWith("/board.dev"); }));
    }

    void anUnknownLanguageStartsInEnglishAndStaysInTheSettings() {
        test::WriteBytes(IniPath(), "[Config]\nLanguage=Klingon\nPlugin=None\nPort=None\n");
        auto app = NewApp();
        QVERIFY(app->InitInstance());
        QCOMPARE(QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)), QStringLiteral("No plugin"));
        app->ExitInstance();
        QVERIFY(Ini().contains(QStringLiteral("Language=Klingon")));
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
