// The whole way through the desktop: open the sample board template, edit its values in the item list,
// program the simulated chip through the device worker and verify it, then read the chip back into a fresh
// document of the same template and find the same values.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

#include "FrameTestSupport.h"
#include "document/CVardelDoc.h"
#include "text/LanguageList.h"
#include "ui/CMainFrame.h"
#include "ui/CVardelView.h"
#include "ui/ProgressDisplay.h"

namespace tessaly {
namespace {

constexpr int kTimeout = 20000;

// What the user types or picks, by item name.
const std::vector<std::pair<QString, QString>> kTyped = {
    {"Serial number", "20240611"},   {"Manufacture year (since 2000)", "24"},
    {"Manufacture week", "23"},      {"Board name", "Tessaly e2e"},
    {"Host name", "bench-7"},        {"Core voltage (mV)", "1200"},
    {"Temperature limit (C)", "85"}, {"Boot delay (ms)", "1500"},
    {"ADC offset", "1234"},          {"ADC gain (x1000)", "1000"},
};
const std::vector<std::pair<QString, QString>> kPicked = {
    {"Product variant", "Pro"},
    {"DHCP", "On"},
    {"Link speed", "100 Mbit/s"},
    {"Fan mode", "Quiet"},
};

class FrameEndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;

    // One run of the desktop on its own copy of the sample template.
    struct Session {
        AppSettings settings;
        test::RecordingPrompt prompt;
        std::unique_ptr<CVardelDoc> document;
        RecentFileList recentFiles{4};
        std::unique_ptr<CMainFrame> frame;

        ~Session() {
            frame.reset();
            document.reset();
        }
    };

    std::unique_ptr<Session> Start(std::uint8_t memoryInit, const QString& folder) {
        auto session = std::make_unique<Session>();
        session->settings = test::FrameSettings();
        session->settings.memoryInit = memoryInit;
        session->document = std::make_unique<CVardelDoc>(session->prompt);
        session->frame = std::make_unique<CMainFrame>(session->settings, *session->document,
                                                      session->recentFiles, session->prompt);
        session->frame->resize(900, 700);
        session->frame->show();
        [&] { QTRY_COMPARE_WITH_TIMEOUT(session->frame->State(), DeviceState::Ready, kTimeout); }();

        const QString copy = work.filePath(folder + "/board-24c02.dev");
        QDir(work.path()).mkpath(folder);
        QFile::copy(qEnvironmentVariable("TESSALY_SOURCE_DIR") + "/examples/board-24c02.dev", copy);
        [&] { QVERIFY(session->frame->OpenTemplate(copy)); }();
        Activate(*session);
        return session;
    }

    static ItemList& List(const Session& session) { return session.frame->ActiveView()->List(); }

    static int RowNamed(const Session& session, const QString& name) {
        const ItemList& list = List(session);
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.topLevelItem(row)->text(ItemList::kNameColumn) == name) {
                return row;
            }
        }
        return -1;
    }

    static QStringList ShownValues(const Session& session) {
        QStringList values;
        const ItemList& list = List(session);
        for (int row = 0; row < list.RowCount(); ++row) {
            values.push_back(list.topLevelItem(row)->text(ItemList::kValueColumn));
        }
        return values;
    }

    static std::vector<std::string> ItemValues(const Session& session) {
        const Unit& unit = *session.document->Units()->GetAt(0);
        std::vector<std::string> values;
        for (std::uint32_t item = 0; item < unit.itemCount; ++item) {
            std::string text;
            values.push_back(unit.GetValueText(item, text) ? text : std::string("<none>"));
        }
        return values;
    }

    void OpenEditor(Session& session, const QString& name) {
        const int row = RowNamed(session, name);
        QVERIFY2(row >= 0, qPrintable(name));
        QVERIFY(List(session).SelectRow(row));
        QTest::keyClick(&List(session), Qt::Key_Return);
        QVERIFY(List(session).Editor() != nullptr);
    }

    void Type(Session& session, const QString& name, const QString& value) {
        OpenEditor(session, name);
        auto* edit = qobject_cast<QLineEdit*>(List(session).Editor());
        QVERIFY2(edit != nullptr, qPrintable(name));
        edit->selectAll();
        QTest::keyClicks(edit, value);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(List(session).topLevelItem(RowNamed(session, name))->text(ItemList::kValueColumn), value);
    }

    void Pick(Session& session, const QString& name, const QString& value) {
        OpenEditor(session, name);
        auto* combo = qobject_cast<QComboBox*>(List(session).Editor());
        QVERIFY2(combo != nullptr, qPrintable(name));
        combo->setCurrentIndex(combo->findText(value));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(List(session).topLevelItem(RowNamed(session, name))->text(ItemList::kValueColumn), value);
    }

    static void RunCommand(Session& session, Qt::Key key) {
        QTest::keyClick(session.frame.get(), key);
        QVERIFY(session.frame->Progress() != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!session.frame->Worker().IsBusy() && session.frame->Progress() == nullptr,
                                 kTimeout);
        Activate(session);
    }

    // Without a window manager the offscreen platform activates every window it shows, the progress
    // window too, and no window is active once that has gone; keys reach the active window only.
    static void Activate(Session& session) {
        QApplication::setActiveWindow(session.frame.get());
        QVERIFY(QTest::qWaitForWindowActive(session.frame.get()));
    }

  private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(QDir().mkpath(work.filePath("chips")));
        test::SetSimulatorEnvironment(work.filePath("chips"));
        LoadLanguageList({work.path().toStdString()});
    }

    void valuesEditedAndProgrammedReadBackIntoAFreshDocument() {
        std::vector<std::string> programmed;
        QStringList shown;
        {
            auto first = Start(0xFF, QStringLiteral("first"));
            QVERIFY(!QTest::currentTestFailed());
            for (const auto& [name, value] : kTyped) {
                Type(*first, name, value);
            }
            for (const auto& [name, value] : kPicked) {
                Pick(*first, name, value);
            }
            QVERIFY(!QTest::currentTestFailed());
            RunCommand(*first, Qt::Key_F5);
            QTRY_COMPARE(first->prompt.Texts(PromptIcon::Information),
                         std::vector<std::string>{"Program successfully complete"});
            RunCommand(*first, Qt::Key_F7);
            QTRY_COMPARE(
                first->prompt.Texts(PromptIcon::Information),
                (std::vector<std::string>{"Program successfully complete", "Verify sucessfully complete"}));
            QVERIFY(first->prompt.questions.empty());
            QVERIFY(first->prompt.Texts(PromptIcon::Error).empty());
            programmed = ItemValues(*first);
            shown = ShownValues(*first);
        }

        // A fresh document: another copy of the template, no companion file, a zero fill.
        auto second = Start(0x00, QStringLiteral("second"));
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(ItemValues(*second) != programmed);
        RunCommand(*second, Qt::Key_F6);
        QCOMPARE(ItemValues(*second), programmed);
        QCOMPARE(ShownValues(*second), shown);
        QCOMPARE(List(*second).topLevelItem(RowNamed(*second, "Board name"))->text(ItemList::kValueColumn),
                 QStringLiteral("Tessaly e2e"));
        QVERIFY(second->prompt.messages.empty());
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::FrameEndToEndTest)
#include "FrameEndToEndTest.moc"
