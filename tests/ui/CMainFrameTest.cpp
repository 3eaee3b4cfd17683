// The main frame with the chip simulator behind its device worker: one run the whole way through (the
// sample board edited in the item list, programmed, verified and read back), and what the frame itself
// decides around it: when the commands are greyed, what the Options result restarts, how the panes are
// refilled during an operation, which templates open and the window size it keeps.

#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <memory>

#include "RecordingPrompt.h"
#include "SimulatorSandbox.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "device/BackupFolder.h"
#include "document/CVardelDoc.h"
#include "text/LanguageList.h"
#include "ui/CMainFrame.h"
#include "ui/CVardelView.h"
#include "ui/CommandId.h"
#include "ui/DifferenceDialog.h"
#include "ui/FrameStatusBar.h"
#include "ui/HexView.h"
#include "ui/ItemViewSplitter.h"
#include "ui/LanguageMenu.h"
#include "ui/ProgressDisplay.h"

namespace tessaly {
namespace {

// Speed holds a wrong value in an image filled with 0xFF (255 is more than 200) or 0; Mode and Label hold
// right ones either way.
const std::vector<std::string_view> kTemplate = {"[Board, I2C8]", "Speed = NUM, 1, 64-C8, DEC",
                                                 "Mode = ENUM, 3.0-3.1, Idle, Run, Sleep, Test",
                                                 "Label = STRING, 4-B, ASCIIZ"};
constexpr int kSpeedRow = 0;
constexpr int kModeRow = 1;
const std::string kProgramDone = "Program successfully complete";
const std::string kVerifyDone = "Verify sucessfully complete";
constexpr int kTimeout = 20000;

// A first start's settings with the chosen plug-in and port, and a short power-up delay, so that the
// worker polls the simulator often.
AppSettings FrameSettings(const char* plugin = "tessaly-sim.so", const char* port = "24C02") {
    AppSettings settings;
    settings.pluginName.Set(plugin);
    settings.portName.Set(port);
    settings.delayIO = 1;
    settings.delayPowerUp = 5;
    settings.pulsePGM = 50;
    settings.fontSize = 10;
    settings.mruSize = 8;
    settings.memoryInit = 0xFF;
    settings.options = kOptionListResize | kOptionEditOnError | kOptionConfirmProgram | kOptionConfirmVerify;
    return settings;
}

AppSettings NoPlugin() {
    return FrameSettings("None", "None");
}

class CMainFrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    std::unique_ptr<test::SimulatorSandbox> sandbox;
    AppSettings settings;
    std::unique_ptr<test::RecordingPrompt> prompt;
    std::unique_ptr<CVardelDoc> document;
    std::unique_ptr<RecentFileList> recentFiles;
    std::unique_ptr<CMainFrame> frame;

    QString PathOf(const QString& name) const { return work.filePath(name); }
    QUrl Url(const QString& name) const { return QUrl::fromLocalFile(PathOf(name)); }

    void ShowFrame(const AppSettings& start) {
        settings = start;
        prompt = std::make_unique<test::RecordingPrompt>();
        document = std::make_unique<CVardelDoc>(*prompt);
        recentFiles = std::make_unique<RecentFileList>(settings.mruSize);
        frame = std::make_unique<CMainFrame>(settings, *document, *recentFiles, *prompt);
        frame->resize(800, 500);
        frame->setAcceptDrops(true);
        frame->show();
        Activate();
    }

    // Accelerators reach the active window only, and without a window manager no window becomes active
    // again by itself once a progress window has gone.
    void Activate() {
        QApplication::setActiveWindow(frame.get());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    }

    void ShowReadyFrame(std::uint8_t memoryInit = 0xFF) {
        AppSettings start = FrameSettings();
        start.memoryInit = memoryInit;
        ShowFrame(start);
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::Ready, kTimeout);
        QTRY_VERIFY(frame->CommandsEnabled());
    }

    // Erased bytes are no text; only Speed stays wrong.
    void OpenSample(const char* name = "board.dev") {
        test::WriteBytes(PathOf(name).toStdString(), test::EncodedScript(kTemplate));
        QVERIFY(frame->OpenTemplate(PathOf(name)));
        QVERIFY(Board().SetValueText(2, "bench"));
        frame->ActiveView()->RefillList();
        Activate();
    }

    Unit& Board() const { return *document->Units()->GetAt(0); }
    ItemList& List() const { return frame->ActiveView()->List(); }
    QString Pane(int pane) const { return frame->StatusBar().PaneText(pane); }
    QAction* Action(int command) const { return frame->Action(command); }
    static QString Shown(const ItemList& list, int row) {
        return list.topLevelItem(row)->text(ItemList::kValueColumn);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(frame.get(), key, modifiers);
    }

    // The request has ended and the frame has taken its progress display down.
    void WaitUntilIdle() {
        QTRY_VERIFY_WITH_TIMEOUT(!frame->Worker().IsBusy() && frame->Progress() == nullptr, kTimeout);
        Activate();
    }

    int RowNamed(const QString& name) const {
        return List().indexOfTopLevelItem(
            List().findItems(name, Qt::MatchExactly, ItemList::kNameColumn).value(0));
    }

    // Puts the text into the row's edit box or drop-down, opened with Enter; Enter ends the edit unless it
    // is to stay open.
    void Enter(const QString& name, const QString& text, bool close = true) {
        QVERIFY(List().SelectRow(RowNamed(name)));
        QTest::keyClick(&List(), Qt::Key_Return);
        if (auto* combo = qobject_cast<QComboBox*>(List().Editor())) {
            combo->setCurrentIndex(combo->findText(text));
        } else {
            qobject_cast<QLineEdit*>(List().Editor())->selectAll();
            QTest::keyClicks(List().Editor(), text);
        }
        if (close) {
            QTest::keyClick(List().Editor(), Qt::Key_Return);
            QCOMPARE(Shown(List(), RowNamed(name)), text);
        }
    }

    QStringList Values() const {
        QStringList values;
        for (std::uint32_t item = 0; item < Board().itemCount; ++item) {
            std::string text;
            values.push_back(Board().GetValueText(item, text) ? QString::fromStdString(text) : "<none>");
        }
        return values;
    }

    // The recent files' entries of the File menu, as they stand when it opens.
    QList<QAction*> RecentEntries() const {
        QMenu* file = frame->menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        QList<QAction*> entries = file->actions();
        entries.removeIf(
            [](const QAction* action) { return !action->text().endsWith(QStringLiteral(".dev")); });
        return entries;
    }

    bool AcceptsDraggedTemplate() const {
        QMimeData data;
        data.setUrls({Url("board.dev")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        return enter.isAccepted();
    }

    // Runs answer on every modal dialog that opens while closer runs; answer must close it.
    static void AnswerDialogs(QTimer& closer, const std::function<void(QDialog&)>& answer) {
        connect(&closer, &QTimer::timeout, [answer] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                answer(*dialog);
            }
        });
        closer.start(10);
    }

    bool ToolButtonEnabled(int command) const {
        return frame->findChild<QToolBar*>()->widgetForAction(Action(command))->isEnabled();
    }

  private slots:
    // No language or settings file of the developer's gets in.
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        test::WriteBytes(
            "deutsch.lng",
            "[Language]\nLanguage=Deutsch, Deutsch\nMsg[2-8]=Kein Plug-in\nMsg[5-3]=Bezeichnung\n");
        LoadLanguageList({work.path().toStdString()});
    }

    void init() { sandbox = std::make_unique<test::SimulatorSandbox>(); }

    // Each test starts from its own values, not from those the last one left in the companion file.
    void cleanup() {
        frame.reset();
        document.reset();
        sandbox.reset();
        QFile::remove(PathOf("board.cfg"));
    }

    // In a zero fill only the week, the voltage and the temperature limit are wrong. The last value is
    // still being typed when Program starts: it is programmed all the same. Read takes it back into
    // another copy of the template, erased and without values of its own.
    void valuesEditedInTheListAreProgrammedVerifiedAndReadBack() {
        ShowReadyFrame(0x00);
        for (const char* copy : {"first/board-24c02.dev", "second/board-24c02.dev"}) {
            test::WriteBytes(copy, test::ExampleScript("board-24c02.dev"));
        }
        QVERIFY(frame->OpenTemplate(PathOf("first/board-24c02.dev")));
        Activate();
        Enter("Manufacture week", "23");
        Enter("Core voltage (mV)", "1200");
        Enter("Temperature limit (C)", "85");
        Enter("Board name", "Tessaly e2e");
        Enter("Product variant", "Pro");
        Enter("DHCP", "On");
        Enter("Boot delay (ms)", "1500", false);
        QVERIFY(!QTest::currentTestFailed());
        for (Qt::Key key : {Qt::Key_F5, Qt::Key_F7}) {
            Press(key);
            QVERIFY(frame->Progress() != nullptr);
            WaitUntilIdle();
        }
        QTRY_COMPARE(prompt->Texts(PromptIcon::Information),
                     (std::vector<std::string>{kProgramDone, kVerifyDone}));
        const QStringList programmed = Values();
        QVERIFY(programmed.contains(QStringLiteral("1500")));

        settings.memoryInit = 0xFF;
        QVERIFY(frame->OpenTemplate(PathOf("second/board-24c02.dev")));
        Activate();
        QVERIFY(Values() != programmed);
        Press(Qt::Key_F6);
        WaitUntilIdle();
        QCOMPARE(Values(), programmed);
        QCOMPARE(Shown(List(), RowNamed("Board name")), QStringLiteral("Tessaly e2e"));
        QCOMPARE(prompt->boxes.size(), 2u);
    }

    // Program saves the chip first; Ctrl+F7 shows the chip's values beside the edited ones, the changed row
    // marked, until the next edit; the backup restored puts the chip back as it was before the Program.
    void programBacksUpCompareShowsTheChipAndRestorePutsItBack() {
        ShowReadyFrame();
        OpenSample();
        settings.options |= kOptionBackupBeforeProgram;
        const std::vector<std::uint8_t> erased = sandbox->ReadChip("24C02");
        Enter("Speed", "150");
        Press(Qt::Key_F5);
        WaitUntilIdle();
        const auto backups = BackupFolder::ForTemplate(document->CompanionPath()).List("Board");
        QCOMPARE(backups.size(), 1u);

        Enter("Speed", "120");
        Press(Qt::Key_F7, Qt::ControlModifier);
        WaitUntilIdle();
        QVERIFY(List().ShowsChipColumn());
        const QTreeWidgetItem* speed = List().topLevelItem(RowNamed("Speed"));
        QCOMPARE(speed->text(ItemList::kChipColumn), QStringLiteral("150"));
        QVERIFY(speed->background(ItemList::kNameColumn).style() != Qt::NoBrush);
        QCOMPARE(List().topLevelItem(kModeRow)->background(ItemList::kNameColumn).style(), Qt::NoBrush);
        Enter("Speed", "130");
        QVERIFY(!List().ShowsChipColumn());

        frame->SetBackupChooser([&backups](const QString&) { return QString::fromStdString(backups[0]); });
        Action(command::kRestoreBackup)->trigger();
        WaitUntilIdle();
        QCOMPARE(sandbox->ReadChip("24C02"), erased.empty() ? std::vector<std::uint8_t>(256, 0xFF) : erased);

        test::WriteBytes(PathOf("short.bin").toStdString(), "abc");
        for (const QString& chosen : {QString(), PathOf("short.bin")}) {
            frame->SetBackupChooser([chosen](const QString&) { return chosen; });
            Action(command::kRestoreBackup)->trigger();
            QVERIFY(frame->Progress() == nullptr);
        }
        QCOMPARE(prompt->Errors().size(), 1u);
        QVERIFY(prompt->Errors()[0].starts_with("The backup holds 3 bytes; unit Board has "));
    }

    // A file where the backups' folder belongs: Program asks whether to go on without a backup and stops
    // at No, so Verify finds the chip erased and lists every item that differs.
    void programAsksBeforeGoingOnWithoutABackupAndVerifyListsTheDifferences() {
        ShowReadyFrame();
        OpenSample();
        settings.options |= kOptionBackupBeforeProgram;
        test::WriteBytes(sandbox->Root() / "state" / "tessaly", "");
        Enter("Speed", "150");
        Press(Qt::Key_F5);
        WaitUntilIdle();
        QCOMPARE(prompt->questions.size(), 1u);
        QVERIFY(prompt->questions[0].text.starts_with("The chip's backup could not be saved: "));
        QVERIFY(prompt->questions[0].text.ends_with(". Program without a backup?"));

        QStringList listed;
        QTimer closer;
        AnswerDialogs(closer, [&listed](QDialog& dialog) {
            listed = static_cast<DifferenceDialog&>(dialog).TableText().split(QLatin1Char('\n'));
            dialog.accept();
        });
        Press(Qt::Key_F7);
        WaitUntilIdle();
        QVERIFY2(listed.contains(QStringLiteral("Speed\t255\t150")), qPrintable(listed.join('|')));
    }

    // Cancelled, the dialogs change nothing; Export writes the format of the filter chosen, its extension
    // added to the name typed.
    void everyDialogCommandOpensItsDialogOverTheFrame() {
        ShowFrame(NoPlugin());
        OpenSample();
        const QStringList values = Values();
        for (const auto& [id, expected] :
             std::vector<std::pair<int, QString>>{{command::kOpen, "QFileDialog"},
                                                  {command::kImport, "QFileDialog"},
                                                  {command::kOptions, "tessaly::OptionsDialog"},
                                                  {command::kAbout, "tessaly::AboutBox"},
                                                  {command::kExport, "QFileDialog"}}) {
            QString opened;
            QTimer closer;
            AnswerDialogs(closer, [&opened, exporting = id == command::kExport](QDialog& dialog) {
                opened = dialog.metaObject()->className();
                auto* files = qobject_cast<QFileDialog*>(&dialog);
                if (!exporting || files == nullptr) {
                    return dialog.reject();
                }
                QTest::keyClick(files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
                files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(QStringLiteral("values"));
                dialog.accept();
            });
            Action(id)->trigger();
            QCOMPARE(opened, expected);
        }
        QCOMPARE(Values(), values);
        QCOMPARE(frame->windowTitle(), QStringLiteral("board.dev - Tessaly"));
        QVERIFY(test::ReadBytes(PathOf("values.hex").toStdString()).starts_with(":"));
    }

    // Program checks the values first, but neither a second F5 while busy nor F8 (shown beside Verify,
    // which runs on F7) starts anything.
    void programIsRefusedWithAWrongValueAndRunsOnlyOnceTheItemIsDisabled() {
        ShowReadyFrame();
        OpenSample();
        Press(Qt::Key_F5);
        QVERIFY(frame->Progress() == nullptr && !frame->Worker().IsBusy());
        // The view has selected the wrong item and opened its editor.
        QCOMPARE(List().EditingRow(), kSpeedRow);
        QTest::keyClick(List().Editor(), Qt::Key_Escape);
        QVERIFY(List().SetRowChecked(kSpeedRow, false));
        Press(Qt::Key_F5);
        // The worker cannot end before this thread has taken its end in, so it is still busy here.
        QVERIFY(frame->Worker().IsBusy());
        const ProgressDisplay* first = frame->Progress();
        Press(Qt::Key_F5);
        QCOMPARE(frame->Progress(), first);
        WaitUntilIdle();
        Press(Qt::Key_F8);
        QVERIFY(frame->Progress() == nullptr);
        QTest::qWait(200);
        QCOMPARE(prompt->Texts(PromptIcon::Information), std::vector<std::string>{kProgramDone});
        QCOMPARE(prompt->boxes.size(), 1u);
    }

    // The Options dialog chose another plug-in while the box is still open; the unit is the user's again,
    // its rows back to be edited and checked.
    void stoppingTheWorkerWhileItsQuestionIsOpenDoesNotDeadlockAndGivesTheUnitBack() {
        sandbox->SetFaults("read=1-1000000");
        ShowReadyFrame();
        OpenSample();
        prompt->onQuestion = [this] {
            frame->ApplyOptions(NoPlugin());
            return true;
        };
        Press(Qt::Key_F6);
        QTRY_COMPARE_WITH_TIMEOUT(prompt->questions.size(), 1u, kTimeout);
        QVERIFY(!frame->Worker().IsBusy() && frame->Progress() == nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::NoPlugin, kTimeout);
        QCOMPARE(List().RowCount(), 3);
        QVERIFY(List().topLevelItem(kSpeedRow)->flags() & Qt::ItemIsEnabled);
        QVERIFY(!frame->ActiveView()->CheckValues());
        QVERIFY(Action(command::kOpen)->isEnabled());
    }

    void destroyingTheFrameWhileAQuestionIsOpenDoesNotDeadlock() {
        sandbox->SetFaults("read=1-1000000");
        ShowReadyFrame();
        OpenSample();
        prompt->onQuestion = [this] {
            frame.reset();
            return true;
        };
        Press(Qt::Key_F6);
        QTRY_VERIFY_WITH_TIMEOUT(frame == nullptr, kTimeout);
    }

    // The language and the window size of the dialog's copy are not taken. Without a plug-in every device
    // command is greyed, in the menu and on the toolbar. A language chosen from the menu reaches the state
    // pane and the column titles at once.
    void optionsAreTakenAndRestartTheWorkerOnlyForAnotherPluginOrPort() {
        ShowReadyFrame();
        QVERIFY(ToolButtonEnabled(command::kVerify));
        // The simulator manages a driver of its own pretence.
        QVERIFY(Action(command::kManageDriver)->isEnabled());
        const ProgrammerPlugin* plugin = frame->Worker().Plugin();
        AppSettings chosen = FrameSettings();
        chosen.delayPowerUp = 7;
        chosen.options |= 2;
        chosen.language.Set("Elsewhere");
        chosen.windowWidth = 99;
        frame->ApplyOptions(chosen);
        QVERIFY(frame->Worker().Plugin() == plugin && frame->CommandsEnabled());
        QCOMPARE(settings.delayPowerUp, 7);
        QVERIFY(List().headerItem()->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
        QCOMPARE(settings.language.View(), std::string_view());
        QCOMPARE(settings.windowWidth, 0);

        chosen.portName.Set("24C04");
        frame->ApplyOptions(chosen);
        QTRY_COMPARE(Pane(3), QStringLiteral("24C04"));
        QTRY_COMPARE_WITH_TIMEOUT(frame->State(), DeviceState::Ready, kTimeout);

        frame->ApplyOptions(NoPlugin());
        QTRY_COMPARE(Pane(5), QStringLiteral("No plugin"));
        for (int command : {command::kProgram, command::kRead, command::kVerify}) {
            QVERIFY(!Action(command)->isEnabled() && !ToolButtonEnabled(command));
        }
        QVERIFY(!Action(command::kManageDriver)->isEnabled());
        frame->Languages().Item(command::kFirstLanguage + 1)->trigger();
        QCOMPARE(Pane(5), QStringLiteral("Kein Plug-in"));
        QCOMPARE(List().headerItem()->text(ItemList::kNameColumn), QStringLiteral("Bezeichnung"));
    }

    // A slow bus keeps the worker merging into the unit's image for a while, and the other pane is
    // refilled all the time: it shows the unit's rows of before the Read, greyed, until the Read is done.
    // Speed is wrong, which does not keep a Read from running. F4 has shown the hex view in every pane, the
    // one opened later too, and it takes in the Read as the list does.
    void everyPaneShowsTheUnitBeingReadGreyedUntilItTakesInTheRead() {
        sandbox->Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
        ShowReadyFrame(0x00);
        OpenSample();
        Press(Qt::Key_F4);
        QVERIFY(settings.options & kOptionHexView);
        frame->Splitter().Split(1, 2);
        CVardelView* other = frame->Views().back();
        QCOMPARE(Shown(other->List(), kModeRow), QStringLiteral("Idle"));
        int greyed = 0;
        int editable = 0;
        QTimer refills;
        connect(&refills, &QTimer::timeout, [&] {
            other->RefillList();
            const QTreeWidgetItem* mode = other->List().topLevelItem(kModeRow);
            if (mode != nullptr && mode->text(ItemList::kValueColumn) == QStringLiteral("Idle")) {
                ++(mode->flags() & Qt::ItemIsEnabled ? editable : greyed);
            }
        });
        Activate();
        Press(Qt::Key_F6);
        refills.start(1);
        WaitUntilIdle();
        refills.stop();
        QVERIFY(greyed > 0);
        QCOMPARE(editable, 0);
        QVERIFY(prompt->boxes.empty());
        for (CVardelView* view : frame->Views()) {
            QCOMPARE(Shown(view->List(), kModeRow), QStringLiteral("Test"));
            QVERIFY(view->List().topLevelItem(kModeRow)->flags() & Qt::ItemIsEnabled);
            // The unit starts at 1, so the line's first column stays blank.
            QVERIFY(
                view->findChild<HexView*>()->LineText(0).startsWith(QStringLiteral("0000     FF 00 03 FF")));
        }
        Press(Qt::Key_F4);
        QVERIFY(!(settings.options & kOptionHexView) &&
                frame->Views().back()->findChild<HexView*>()->isHidden());
    }

    // Two dropped files open nothing, one opens; the template that is open already stays as it is, while
    // opening another or Ctrl+S saves the value still being typed.
    void theOpenTemplateIsKeptAndAValueBeingTypedIsSavedWhenAnotherOpens() {
        ShowFrame(NoPlugin());
        QVERIFY(!Action(command::kImport)->isEnabled());
        Press(Qt::Key_F4);
        OpenSample("other.dev");
        QVERIFY(!frame->ActiveView()->findChild<HexView*>()->isHidden());
        OpenSample();
        QTRY_COMPARE(Pane(4), QStringLiteral("I2C8"));
        QVERIFY(Action(command::kImport)->isEnabled());
        QVERIFY(!frame->OpenDroppedFiles({Url("other.dev"), Url("board.dev")}));
        QVERIFY(List().SetRowChecked(kSpeedRow, false));
        QFile::remove("alias.dev");
        QVERIFY(QFile::link(PathOf("board.dev"), "alias.dev"));
        QVERIFY(frame->OpenDroppedFiles({Url("alias.dev")}));
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Unchecked);
        QCOMPARE(frame->windowTitle(), QStringLiteral("board.dev - Tessaly"));

        Enter("Speed", "150", false);
        QVERIFY(frame->OpenDroppedFiles({Url("other.dev")}));
        QCOMPARE(frame->windowTitle(), QStringLiteral("other.dev - Tessaly"));
        QVERIFY(frame->OpenTemplate(PathOf("board.dev")));
        QCOMPARE(Values().front(), QStringLiteral("150"));
        Activate();
        Enter("Speed", "170", false);
        Press(Qt::Key_S, Qt::ControlModifier);
        CVardelDoc saved(*prompt);
        QCOMPARE(saved.OnOpenDocument("board.dev", 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        std::string speed;
        QVERIFY(saved.Units()->GetAt(0)->GetValueText(0, speed));
        QCOMPARE(speed, std::string("170"));
    }

    void openRecentFilesAndDropsAreGreyedWhileAnOperationRuns() {
        ShowReadyFrame();
        OpenSample();
        QVERIFY(Board().SetValueText(0, "150"));
        QVERIFY(AcceptsDraggedTemplate());
        Press(Qt::Key_F5);
        QVERIFY(frame->Worker().IsBusy());
        QVERIFY(!Action(command::kOpen)->isEnabled() && !ToolButtonEnabled(command::kOpen));
        QCOMPARE(RecentEntries().size(), 1);
        QVERIFY(!RecentEntries().front()->isEnabled());
        QVERIFY(!AcceptsDraggedTemplate());
        QVERIFY(!frame->OpenTemplate(PathOf("board.dev")));
        WaitUntilIdle();
        QVERIFY(Action(command::kOpen)->isEnabled() && RecentEntries().front()->isEnabled());
        QVERIFY(AcceptsDraggedTemplate());
    }

    // The size stored is the outer one, frame included, and for a maximised window its normal size. The
    // offscreen platform draws a frame, so outer and inner size differ.
    void theOuterSizeIsStoredAndTheNextFrameTakesIt() {
        ShowFrame(NoPlugin());
        const QSize outer = frame->frameGeometry().size();
        QVERIFY(outer != frame->size());
        frame.reset();
        QCOMPARE(QSize(settings.windowWidth, settings.windowHeight), outer);
        frame = std::make_unique<CMainFrame>(settings, *document, *recentFiles, *prompt);
        frame->show();
        QCOMPARE(frame->frameGeometry().size(), outer);
        frame->showMaximized();
        QTRY_VERIFY(frame->isMaximized() && frame->frameGeometry().size() != outer);
        frame.reset();
        QCOMPARE(QSize(settings.windowWidth, settings.windowHeight), outer);
    }

    // A file that no longer opens is reported and leaves the list.
    void openedTemplatesHeadTheRecentFilesInTheFileMenu() {
        ShowFrame(NoPlugin());
        OpenSample("a.dev");
        OpenSample("b.dev");
        QList<QAction*> entries = RecentEntries();
        QVERIFY(!Action(command::kRecentFile)->isVisible());
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0]->text().startsWith(QStringLiteral("&1 ")) &&
                entries[0]->text().endsWith("/b.dev"));
        entries[1]->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("a.dev - Tessaly"));
        QVERIFY(QFile::remove("b.dev"));
        RecentEntries()[1]->trigger();
        QCOMPARE(prompt->Errors().size(), 1u);
        QCOMPARE(frame->windowTitle(), QStringLiteral("a.dev - Tessaly"));
        QCOMPARE(RecentEntries().size(), 1);
        Action(command::kNew)->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Tessaly"));
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::CMainFrameTest)
#include "CMainFrameTest.moc"
