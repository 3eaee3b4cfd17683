// The main frame with the chip simulator behind its device worker: the device commands and their keys,
// the status panes, the Options result, dropped files, the window size, and stopping the worker while one
// of its questions is open.

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <memory>

#include "FrameTestSupport.h"
#include "document/CVardelDoc.h"
#include "text/LanguageList.h"
#include "ui/CMainFrame.h"
#include "ui/CVardelView.h"
#include "ui/CommandId.h"
#include "ui/FrameStatusBar.h"
#include "ui/ItemViewSplitter.h"
#include "ui/LanguageMenu.h"
#include "ui/ProgressDisplay.h"
#include "ui/StateIcon.h"

namespace tessaly {
namespace {

// Speed holds a wrong value in an image filled with 0xFF (255 is more than 200) or 0; Mode and Label hold
// right ones either way.
const char kTemplate[] =
    "[Board, I2C8]\n"
    "Speed = NUM, 1, 64-C8, DEC\n"
    "Mode = ENUM, 3.0-3.1, Idle, Run, Sleep, Test\n"
    "Label = STRING, 4-B, ASCIIZ\n";
constexpr int kSpeedRow = 0;
constexpr int kModeRow = 1;
constexpr std::uint32_t kSpeed = 0;
constexpr std::uint32_t kLabel = 2;

const std::string kProgramDone = "Program successfully complete";
const std::string kVerifyDone = "Verify sucessfully complete";
constexpr int kTimeout = 10000;

class CMainFrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    AppSettings settings;
    std::unique_ptr<test::RecordingPrompt> prompt;
    std::unique_ptr<CVardelDoc> document;
    std::unique_ptr<RecentFileList> recentFiles;
    std::unique_ptr<CMainFrame> frame;

    QString PathOf(const QString& name) const { return work.filePath(name); }

    void MakeFrame(const AppSettings& start) {
        settings = start;
        prompt = std::make_unique<test::RecordingPrompt>();
        document = std::make_unique<CVardelDoc>(*prompt);
        recentFiles = std::make_unique<RecentFileList>(settings.mruSize);
        frame = std::make_unique<CMainFrame>(settings, *document, *recentFiles, *prompt);
    }

    void ShowFrame(const AppSettings& start) {
        MakeFrame(start);
        frame->resize(800, 500);
        frame->setAcceptDrops(true);
        frame->show();
        Activate();
    }

    // Accelerators reach the active window only, and without a window manager no window becomes active
    // again by itself once the load's progress dialog has gone.
    void Activate() {
        QApplication::setActiveWindow(frame.get());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    }

    void ShowReadyFrame(const AppSettings& start = test::FrameSettings()) {
        ShowFrame(start);
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::Ready, kTimeout);
        QTRY_VERIFY(frame->CommandsEnabled());
    }

    void OpenSample() {
        QVERIFY(test::WriteTemplate(PathOf("board.dev"), kTemplate));
        QVERIFY(frame->OpenTemplate(PathOf("board.dev")));
        // Erased bytes are no text; only Speed stays wrong.
        QVERIFY(Board().SetValueText(kLabel, "bench"));
        frame->ActiveView()->RefillList();
        Activate();
    }

    void MakeSpeedRight() {
        QVERIFY(Board().SetValueText(kSpeed, "150"));
        frame->ActiveView()->RefillList();
    }

    Unit& Board() const { return *document->Units()->GetAt(0); }
    ItemList& List() const { return frame->ActiveView()->List(); }
    QString Pane(int pane) const { return frame->StatusBar().PaneText(pane); }
    QAction* Action(int command) const { return frame->Action(command); }

    void Press(Qt::Key key) { QTest::keyClick(frame.get(), key); }

    // The sample over a Ready chip, with a document whose memory starts at 0x00 where the simulated chip
    // holds 0xFF.
    void ShowSampleOverAnErasedChip() {
        AppSettings start = test::FrameSettings();
        start.memoryInit = 0x00;
        ShowReadyFrame(start);
        OpenSample();
    }

    // The pane shows the values read from the chip.
    static void ShowsTheReadChip(CVardelView& view) {
        QCOMPARE(view.List().RowCount(), 3);
        QCOMPARE(view.List().topLevelItem(kModeRow)->text(ItemList::kValueColumn), QStringLiteral("Test"));
    }

    // The request has ended and the frame has taken its progress display down.
    void WaitUntilIdle() {
        QTRY_VERIFY_WITH_TIMEOUT(!frame->Worker().IsBusy() && frame->Progress() == nullptr, kTimeout);
    }

    std::size_t Count(const std::string& notice) const {
        const auto texts = prompt->Texts(PromptIcon::Information);
        return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), notice));
    }

    std::string SpeedValue() const {
        std::string text;
        Board().GetValueText(kSpeed, text);
        return text;
    }

    // Opens the editor on Speed and types a right value into it, leaving the editor open.
    void TypeSpeedRight() {
        QVERIFY(List().SelectRow(kSpeedRow));
        QTest::keyClick(&List(), Qt::Key_Return);
        QVERIFY(List().Editor() != nullptr);
        QTest::keyClicks(List().Editor(), "150");
    }

    // The recent files' entries of the File menu, as they stand when it opens.
    QList<QAction*> RecentEntries() const {
        QMenu* file = frame->menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        QList<QAction*> entries;
        for (QAction* action : file->actions()) {
            if (action->text().endsWith(QStringLiteral(".dev"))) {
                entries.push_back(action);
            }
        }
        return entries;
    }

    bool AcceptsDraggedTemplate() const {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(PathOf("board.dev"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        return enter.isAccepted();
    }

    bool ToolButtonEnabled(int command) const {
        auto* toolBar = frame->findChild<QToolBar*>();
        return toolBar->widgetForAction(Action(command))->isEnabled();
    }

  private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        // No language or settings file of the developer's gets in.
        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(QDir().mkpath(PathOf("chips")));
        QFile language(PathOf("deutsch.lng"));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write(
            "[Language]\nLanguage=Deutsch, Deutsch\nMsg[2-8]=Kein Plug-in\nMsg[5-3]=Bezeichnung\n");
        language.close();
        LoadLanguageList({work.path().toStdString()});
    }

    void init() { test::SetSimulatorEnvironment(PathOf("chips")); }

    void cleanup() {
        frame.reset();
        document.reset();
        test::SetSimulatorEnvironment(PathOf("chips"));
        QFile::remove(PathOf("chips/24C02.bin"));
        // Each test starts from its own values, not from those the last one left in the companion file.
        QFile::remove(PathOf("board.cfg"));
    }

    void withoutAPluginThePanesSayNoPluginAndTheCommandsAreGreyed() {
        ShowFrame(test::FrameSettings("None", "None"));
        QTRY_COMPARE(Pane(5), QStringLiteral("No plugin"));
        QCOMPARE(Pane(1), QStringLiteral("Plug-in: "));
        QCOMPARE(Pane(2), QStringLiteral("Fw: "));
        QCOMPARE(Pane(3), QStringLiteral("None"));
        QCOMPARE(Pane(4), QString());
        QCOMPARE(frame->StatusBar().StateIconPath(), StateIconPath(DeviceState::NoPlugin));
        for (int command : {command::kProgram, command::kRead, command::kVerify}) {
            QVERIFY(!Action(command)->isEnabled());
            QVERIFY(!ToolButtonEnabled(command));
        }
        QVERIFY(!Action(command::kManageDriver)->isEnabled());
        QVERIFY(!Action(command::kImport)->isEnabled());
        QVERIFY(!ToolButtonEnabled(command::kUnhandledButton));
    }

    void aReadyChipEnablesTheCommandsAndALaterReportGreysThem() {
        ShowReadyFrame();
        QTRY_COMPARE(Pane(5), QStringLiteral("Ready"));
        QCOMPARE(frame->StatusBar().StateIconPath(), StateIconPath(DeviceState::Ready));
        QVERIFY(Pane(1).size() > QStringLiteral("Plug-in: ").size());
        QVERIFY(Pane(2).contains(QStringLiteral("24C02")));
        QCOMPARE(Pane(3), QStringLiteral("24C02"));
        QVERIFY(ToolButtonEnabled(command::kVerify));
        // The simulator manages a driver of its own pretence.
        QVERIFY(Action(command::kManageDriver)->isEnabled());

        // The simulator is told to lose its chip while no session of it is open.
        frame->ApplyOptions(test::FrameSettings("None", "None"));
        QTRY_VERIFY(!frame->CommandsEnabled());
        QVERIFY(!Action(command::kManageDriver)->isEnabled());
        test::SetSimulatorEnvironment(PathOf("chips"), "nochip");
        frame->ApplyOptions(test::FrameSettings());
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::NoChip, kTimeout);
        QTRY_VERIFY(!frame->CommandsEnabled());
        QVERIFY(!ToolButtonEnabled(command::kProgram));
        QTRY_COMPARE(Pane(5), QStringLiteral("No chip"));
    }

    void theBusOfTheUnitOnShowIsInPaneFour() {
        ShowFrame(test::FrameSettings("None", "None"));
        OpenSample();
        QTRY_COMPARE(Pane(4), QStringLiteral("I2C8"));
        QVERIFY(Action(command::kImport)->isEnabled());
        QVERIFY(Action(command::kExport)->isEnabled());
        QCOMPARE(frame->windowTitle(), QStringLiteral("board.dev - Tessaly"));
    }

    void programIsRefusedWithAWrongValueAndRunsOnceTheItemIsDisabled() {
        ShowReadyFrame();
        OpenSample();
        Press(Qt::Key_F5);
        QVERIFY(frame->Progress() == nullptr);
        QVERIFY(!frame->Worker().IsBusy());
        // The view has selected the wrong item and opened its editor.
        QCOMPARE(List().SelectedRow(), kSpeedRow);
        QVERIFY(List().Editor() != nullptr);
        QTest::keyClick(List().Editor(), Qt::Key_Escape);
        QTest::qWait(200);
        QVERIFY(prompt->messages.empty());

        QVERIFY(List().SetRowChecked(kSpeedRow, false));
        Press(Qt::Key_F5);
        QVERIFY(frame->Progress() != nullptr);
        QVERIFY(frame->Worker().IsBusy());
        WaitUntilIdle();
        QTRY_COMPARE(Count(kProgramDone), 1u);
        QVERIFY(prompt->Texts(PromptIcon::Error).empty());
    }

    void aValueStillBeingTypedIsProgrammed() {
        ShowReadyFrame();
        OpenSample();
        TypeSpeedRight();
        Press(Qt::Key_F5);
        QVERIFY(frame->Progress() != nullptr);
        WaitUntilIdle();
        QTRY_COMPARE(Count(kProgramDone), 1u);
        QCOMPARE(SpeedValue(), std::string("150"));
    }

    void aValueStillBeingTypedIsSavedWhenAnotherTemplateOpens() {
        ShowFrame(test::FrameSettings("None", "None"));
        OpenSample();
        TypeSpeedRight();
        QVERIFY(test::WriteTemplate(PathOf("other.dev"), kTemplate));
        QVERIFY(frame->OpenTemplate(PathOf("other.dev")));
        QVERIFY(frame->OpenTemplate(PathOf("board.dev")));
        QCOMPARE(SpeedValue(), std::string("150"));
    }

    void aSecondF5WhileBusyAndF8DoNothing() {
        ShowReadyFrame();
        OpenSample();
        MakeSpeedRight();
        Press(Qt::Key_F5);
        // The worker cannot end before this thread has taken its end in, so it is still busy here.
        QVERIFY(frame->Worker().IsBusy());
        const ProgressDisplay* first = frame->Progress();
        Press(Qt::Key_F5);
        QCOMPARE(frame->Progress(), first);
        WaitUntilIdle();
        QTRY_COMPARE(Count(kProgramDone), 1u);
        // F8 is shown beside Verify, which runs on F7 only.
        QVERIFY(Action(command::kVerify)->text().endsWith(QStringLiteral("\tF8")));
        Press(Qt::Key_F8);
        QVERIFY(frame->Progress() == nullptr);
        QTest::qWait(200);
        QCOMPARE(Count(kProgramDone), 1u);
        QCOMPARE(Count(kVerifyDone), 0u);
    }

    void stoppingTheWorkerWhileItsQuestionIsOpenDoesNotDeadlockAndGivesTheUnitBack() {
        test::SetSimulatorEnvironment(PathOf("chips"), "read=1-1000000");
        ShowReadyFrame();
        OpenSample();
        bool restarted = false;
        prompt->onQuestion = [&] {
            // The box is still open: the Options dialog chose another plug-in meanwhile.
            frame->ApplyOptions(test::FrameSettings("None", "None"));
            restarted = true;
            return true;
        };
        Press(Qt::Key_F6);
        QTRY_VERIFY_WITH_TIMEOUT(restarted, kTimeout);
        QCOMPARE(prompt->questions.size(), 1u);
        QVERIFY(!frame->Worker().IsBusy());
        QVERIFY(frame->Progress() == nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::NoPlugin, kTimeout);
        QVERIFY(!frame->CommandsEnabled());
        // The unit is the user's again: its rows are back, to be edited and checked.
        QCOMPARE(List().RowCount(), 3);
        QVERIFY(List().topLevelItem(kSpeedRow)->flags() & Qt::ItemIsEnabled);
        QVERIFY(!frame->ActiveView()->CheckValues());
        QVERIFY(Action(command::kOpen)->isEnabled());
    }

    void destroyingTheFrameWhileAQuestionIsOpenDoesNotDeadlock() {
        test::SetSimulatorEnvironment(PathOf("chips"), "read=1-1000000");
        ShowReadyFrame();
        OpenSample();
        bool destroyed = false;
        prompt->onQuestion = [&] {
            frame.reset();
            destroyed = true;
            return true;
        };
        const int outerWidth = frame->frameGeometry().width();
        Press(Qt::Key_F6);
        QTRY_VERIFY_WITH_TIMEOUT(destroyed, kTimeout);
        QTest::qWait(100);
        QCOMPARE(settings.windowWidth, outerWidth);
    }

    void optionsRestartTheWorkerOnlyForAnotherPluginOrPort() {
        ShowReadyFrame();
        const ProgrammerPlugin* plugin = frame->Worker().Plugin();
        AppSettings chosen = test::FrameSettings();
        chosen.delayPowerUp = 7;
        chosen.options |= 2;
        chosen.language.Set("Elsewhere");
        chosen.windowWidth = 99;
        frame->ApplyOptions(chosen);
        QCOMPARE(frame->Worker().Plugin(), plugin);
        QVERIFY(frame->CommandsEnabled());
        QCOMPARE(settings.delayPowerUp, 7);
        QCOMPARE(settings.options & kOptionAlignNameMask, 2u);
        // The copy's language and window size are not taken.
        QCOMPARE(settings.language.View(), std::string_view("English"));
        QCOMPARE(settings.windowWidth, 0);

        chosen.portName.Set("24C04");
        frame->ApplyOptions(chosen);
        QCOMPARE(settings.portName.View(), std::string_view("24C04"));
        QTRY_VERIFY_WITH_TIMEOUT(Pane(2).contains(QStringLiteral("24C04")), kTimeout);
        QTRY_COMPARE(Pane(3), QStringLiteral("24C04"));
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::Ready, kTimeout);
    }

    void everyPaneOfTheSplitterShowsTheTemplateAndTakesInARead() {
        ShowSampleOverAnErasedChip();
        frame->Splitter().Split(2, 2);
        const std::vector<CVardelView*> views = frame->Views();
        QCOMPARE(views.size(), 4u);
        for (CVardelView* view : views) {
            QCOMPARE(view->List().RowCount(), 3);
            QCOMPARE(view->List().topLevelItem(kModeRow)->text(ItemList::kValueColumn),
                     QStringLiteral("Idle"));
        }
        // Speed is wrong, which does not keep a Read from running.
        Activate();
        Press(Qt::Key_F6);
        WaitUntilIdle();
        QVERIFY(prompt->messages.empty());
        for (CVardelView* view : views) {
            QCOMPARE(view->List().topLevelItem(kModeRow)->text(ItemList::kValueColumn),
                     QStringLiteral("Test"));
        }
        frame->Splitter().Split(1, 1);
        QCOMPARE(frame->Views().size(), 1u);
    }

    void aPaneTurningToTheUnitBeingReadShowsItsRowsOfBeforeGreyedUntilTheReadIsDone() {
        test::SetSimulatorEnvironment(PathOf("chips"), "read=1");
        ShowSampleOverAnErasedChip();
        frame->Splitter().Split(1, 2);
        CVardelView* other = frame->Views().back();
        int rowsDuringRead = -1;
        QString modeDuringRead;
        bool editableDuringRead = true;
        prompt->onQuestion = [&] {
            // As a tab change in the other pane would, while the worker owns the unit's image.
            other->RefillList();
            rowsDuringRead = other->List().RowCount();
            if (const QTreeWidgetItem* mode = other->List().topLevelItem(kModeRow)) {
                modeDuringRead = mode->text(ItemList::kValueColumn);
                editableDuringRead = mode->flags() & Qt::ItemIsEnabled;
            }
            return true;
        };
        Activate();
        Press(Qt::Key_F6);
        WaitUntilIdle();
        QCOMPARE(prompt->questions.size(), 1u);
        QCOMPARE(rowsDuringRead, 3);
        QCOMPARE(modeDuringRead, QStringLiteral("Idle"));
        QVERIFY(!editableDuringRead);
        ShowsTheReadChip(*other);
        QVERIFY(other->List().topLevelItem(kModeRow)->flags() & Qt::ItemIsEnabled);
    }

    void panesRefilledAllThroughASlowReadLeaveTheImageToTheWorker() {
        // A slow bus keeps the worker merging into the image for a while.
        qputenv("TESSALY_SIM_BUS_KHZ", "1");
        ShowSampleOverAnErasedChip();
        frame->Splitter().Split(1, 2);
        CVardelView* other = frame->Views().back();
        int refillsFromTheCopy = 0;
        QTimer refills;
        connect(&refills, &QTimer::timeout, [&] {
            other->RefillList();
            const QTreeWidgetItem* mode = other->List().topLevelItem(kModeRow);
            refillsFromTheCopy += mode != nullptr && !(mode->flags() & Qt::ItemIsEnabled) ? 1 : 0;
        });
        refills.start(1);
        Activate();
        Press(Qt::Key_F6);
        WaitUntilIdle();
        refills.stop();
        QVERIFY(refillsFromTheCopy > 0);
        ShowsTheReadChip(*other);
    }

    void theLanguageMenuSwitchesTheStatePaneAndTheColumnTitlesAtOnce() {
        ShowFrame(test::FrameSettings("None", "None"));
        QTRY_COMPARE(Pane(5), QStringLiteral("No plugin"));
        QAction* deutsch = frame->Languages().Item(command::kFirstLanguage + 1);
        QVERIFY(deutsch != nullptr);
        deutsch->trigger();
        QCOMPARE(Pane(5), QStringLiteral("Kein Plug-in"));
        QCOMPARE(frame->ActiveView()->List().headerItem()->text(ItemList::kNameColumn),
                 QStringLiteral("Bezeichnung"));
        QCOMPARE(settings.language.View(), std::string_view("Deutsch"));
    }

    void openingTheTemplateThatIsOpenKeepsIt() {
        ShowFrame(test::FrameSettings("None", "None"));
        OpenSample();
        QVERIFY(List().SetRowChecked(kSpeedRow, false));
        QFile::remove(PathOf("alias.dev"));
        QVERIFY(QFile::link(PathOf("board.dev"), PathOf("alias.dev")));
        QVERIFY(frame->OpenDroppedFiles({QUrl::fromLocalFile(PathOf("alias.dev"))}));
        QCOMPARE(Board().GetItem(kSpeed)->enabled, 0u);
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Unchecked);
        QCOMPARE(frame->windowTitle(), QStringLiteral("board.dev - Tessaly"));
    }

    void openRecentFilesAndDropsAreGreyedWhileAnOperationRuns() {
        ShowReadyFrame();
        OpenSample();
        MakeSpeedRight();
        QVERIFY(AcceptsDraggedTemplate());
        Press(Qt::Key_F5);
        QVERIFY(frame->Worker().IsBusy());
        QVERIFY(!Action(command::kOpen)->isEnabled());
        QVERIFY(!ToolButtonEnabled(command::kOpen));
        QCOMPARE(RecentEntries().size(), 1);
        QVERIFY(!RecentEntries().front()->isEnabled());
        QVERIFY(!AcceptsDraggedTemplate());
        WaitUntilIdle();
        QVERIFY(Action(command::kOpen)->isEnabled());
        QVERIFY(RecentEntries().front()->isEnabled());
        QVERIFY(AcceptsDraggedTemplate());
    }

    void ctrlSSavesTheValuesBesideTheTemplate() {
        ShowFrame(test::FrameSettings("None", "None"));
        OpenSample();
        TypeSpeedRight();
        QVERIFY(!QFile::exists(PathOf("board.cfg")));
        QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(PathOf("board.cfg")));
        CVardelDoc saved(*prompt);
        QCOMPARE(saved.OnOpenDocument(PathOf("board.dev").toStdString(), 0xFF, nullptr),
                 CVardelDoc::OpenResult::Opened);
        std::string speed;
        QVERIFY(saved.Units()->GetAt(0)->GetValueText(kSpeed, speed));
        QCOMPARE(speed, std::string("150"));
    }

    void theOuterSizeIsStoredAndTheNextStartTakesIt() {
        ShowFrame(test::FrameSettings("None", "None"));
        const QSize outer = frame->frameGeometry().size();
        // The offscreen platform draws a frame, so outer and inner size differ.
        QVERIFY(outer != frame->size());
        frame.reset();
        QCOMPARE(QSize(settings.windowWidth, settings.windowHeight), outer);
        frame = std::make_unique<CMainFrame>(settings, *document, *recentFiles, *prompt);
        frame->show();
        QCOMPARE(frame->frameGeometry().size(), outer);
    }

    void aMaximisedWindowStoresItsNormalOuterSize() {
        ShowFrame(test::FrameSettings("None", "None"));
        const QSize outer = frame->frameGeometry().size();
        frame->showMaximized();
        QTRY_VERIFY(frame->isMaximized() && frame->frameGeometry().size() != outer);
        frame.reset();
        QCOMPARE(QSize(settings.windowWidth, settings.windowHeight), outer);
    }

    void oneDroppedFileOpensAndTwoOpenNothing() {
        ShowFrame(test::FrameSettings("None", "None"));
        QVERIFY(test::WriteTemplate(PathOf("a.dev"), kTemplate));
        QVERIFY(test::WriteTemplate(PathOf("b.dev"), kTemplate));
        QVERIFY(!frame->OpenDroppedFiles(
            {QUrl::fromLocalFile(PathOf("a.dev")), QUrl::fromLocalFile(PathOf("b.dev"))}));
        QCOMPARE(document->GetUnitCount(), 0u);
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Tessaly"));
        QVERIFY(frame->OpenDroppedFiles({QUrl::fromLocalFile(PathOf("b.dev"))}));
        QCOMPARE(document->GetUnitCount(), 1u);
        QCOMPARE(frame->windowTitle(), QStringLiteral("b.dev - Tessaly"));
    }

    void aTemplateThatCannotBeReadIsReportedAndOpensNothing() {
        ShowFrame(test::FrameSettings("None", "None"));
        QVERIFY(!frame->OpenTemplate(PathOf("missing.dev")));
        QCOMPARE(prompt->Texts(PromptIcon::Error).size(), 1u);
        QCOMPARE(document->GetUnitCount(), 0u);
        QVERIFY(recentFiles->Paths().empty());
    }

    void openedTemplatesHeadTheRecentFilesInTheFileMenu() {
        ShowFrame(test::FrameSettings("None", "None"));
        QVERIFY(test::WriteTemplate(PathOf("a.dev"), kTemplate));
        QVERIFY(test::WriteTemplate(PathOf("b.dev"), kTemplate));
        QVERIFY(frame->OpenTemplate(PathOf("a.dev")));
        QVERIFY(frame->OpenTemplate(PathOf("b.dev")));
        QMenu* file = frame->menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        QVERIFY(!Action(command::kRecentFile)->isVisible());
        QList<QAction*> entries;
        for (QAction* action : file->actions()) {
            if (action->text().endsWith(QStringLiteral(".dev"))) {
                entries.push_back(action);
            }
        }
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0]->text().startsWith(QStringLiteral("&1 ")));
        entries[1]->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("a.dev - Tessaly"));

        QVERIFY(QFile::remove(PathOf("b.dev")));
        emit file->aboutToShow();
        for (QAction* action : file->actions()) {
            if (action->text().endsWith(QStringLiteral("b.dev"))) {
                action->trigger();
            }
        }
        QCOMPARE(recentFiles->Paths().size(), 1u);
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::CMainFrameTest)
#include "CMainFrameTest.moc"
