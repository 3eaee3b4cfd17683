#pragma once

#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceWorker.h"
#include "device/FullUnitImage.h"
#include "device/OperationMask.h"
#include "document/CVardelDoc.h"
#include "settings/AppSettings.h"
#include "text/Prompt.h"
#include "ui/FrameActions.h"
#include "ui/ItemViewFrame.h"
#include "ui/ListRow.h"
#include "ui/RecentFileList.h"
#include "ui/WorkerEvents.h"
#include "ui/WorkerOwnerBridge.h"

class QToolBar;

namespace tessaly {

class CVardelView;
class FrameStatusBar;
class ItemViewSplitter;
class LanguageMenu;
class ProgressDisplay;

// The application's main window: menus, accelerators and toolbar, the status bar with the programmer's
// state, and a splitter of item views over the one document. It owns the device worker, starts it with
// the Plugin and Port settings, turns Program (F5), Read (F6) and Verify (F7) into worker requests with a
// progress display, and applies the Options dialog's result to the settings and the worker.
//
// The worker reaches the frame only through the WorkerOwnerBridge, whose waits give up when the worker is
// asked to stop; so stopping the worker (Options, destruction) never deadlocks, not even while one of the
// worker's question boxes is open.
//
// settings, document, recentFiles and prompt belong to the application and must outlive the frame. Every
// box, the worker's included, goes through prompt.
class CMainFrame : public QMainWindow, public ItemViewFrame, private WorkerEvents {
    Q_OBJECT

  public:
    CMainFrame(AppSettings& settings, CVardelDoc& document, RecentFileList& recentFiles, Prompt& prompt,
               QWidget* parent = nullptr);
    // Stores the window's outer size, frame included, in the settings (when it has been shown; the size
    // it has when shown normal if it is maximised), stops the worker and destroys the views.
    ~CMainFrame() override;

    // Opens a template as File > Open does: an edit still open ends and is stored, the document loads the
    // file behind the progress dialog, the views show it and it heads the recent files. The template that
    // is open already (the same file, by its canonical path) stays open as it is, enabled flags and all.
    // Refused while the worker runs an operation, since the operation writes into the open template's
    // unit; Open, the recent files and drops are greyed meanwhile. False when nothing was opened.
    bool OpenTemplate(const QString& path);
    // Files dropped on the window: exactly one opens as a template; more than one are ignored.
    bool OpenDroppedFiles(const QList<QUrl>& files);

    // The device commands: nothing while the worker is busy; an edit still open ends and is stored, Program
    // and Verify check the values of the unit on show; then the unit's program mask is rebuilt, the
    // progress display shown and the request handed to the worker. Nothing happens, and nothing is shown,
    // without a unit to work on.
    void DeviceCommand(OperationMask operation);
    // Reads the chip into an image of its own, leaving the unit alone, and shows it in the active view's
    // Chip column. Nothing happens, as for DeviceCommand, while the worker is busy or without a unit.
    void CompareWithChip();
    // Writes a backup file that the user picks (the file dialog opens in the template's backup folder) back
    // to the unit's addresses and verifies it; a file of another size than the unit's is refused.
    void RestoreBackup();
    // Replaces the file dialog of RestoreBackup: given the folder, gives the chosen file or an empty text.
    void SetBackupChooser(std::function<QString(const QString&)> chooser) {
        chooseBackup_ = std::move(chooser);
    }
    // Takes over the Options dialog's result in the defined order; see the implementation.
    void ApplyOptions(const AppSettings& chosen);
    // Enables or greys Program, Read and Verify in menu and toolbar.
    void EnableCommands(bool on);

    // ItemViewFrame.
    bool IsDeviceBusy() const override;
    const std::vector<ListRow>* RowsInOperation(const Unit& unit) const override;
    void SetBusMode(BusKind bus) override;
    void EnableImportExport(bool on) override;

    // For the application and the tests.
    QAction* Action(int command) const { return actions_.Get(command); }
    FrameStatusBar& StatusBar() const { return *statusBar_; }
    ItemViewSplitter& Splitter() const { return *splitter_; }
    LanguageMenu& Languages() const { return *languages_; }
    CVardelView* ActiveView() const;
    std::vector<CVardelView*> Views() const;
    // The progress display of the running operation; null outside an operation.
    ProgressDisplay* Progress() const { return progress_.get(); }
    DeviceWorker& Worker() const { return *worker_; }
    DeviceState State() const { return bridge_.CurrentStatus().state; }
    bool CommandsEnabled() const { return commandsEnabled_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // WorkerEvents, on the user-interface thread.
    void DeviceStateChanged(bool ready) override { EnableCommands(ready); }
    void ProgressChanged() override;
    void OperationEnded() override;
    void ReadDone() override;
    // Every pane rebuilds its rows, since any of them may show the unit the worker had.
    void RefillViews();
    // The worker no longer writes into the unit it was given.
    void ReleaseUnit();
    // The operation is over, ended or cut short by a stop of the worker.
    void EndOperation();
    void ShowOperationRunning(bool running);
    // Ends the edit open in any pane as a loss of focus would, storing an acceptable text.
    void EndEdits();
    bool AskRetryAccess(const std::string& text) override;
    void ReportDifference(const std::string& text, const std::vector<ItemDifference>& differences) override;
    bool AskProgramWithoutBackup(const std::string& text) override;
    void NotifyCompletion(const std::string& text) override;

    void CreateToolBar();
    void ConnectCommands();
    CVardelView* NewView();
    void ShowCommandsEnabled();
    bool StartWorker();
    void UpdateDriverCommand();
    bool ShowProgressDisplay();
    // Hands a request for the image to the worker behind the progress display.
    bool RequestForImage(OperationMask operation, std::unique_ptr<FullUnitImage> image);
    std::optional<BackupFolder> ProgramBackup(OperationMask operation) const;
    void RemoveProgressDisplay();
    void StoreWindowSize();
    QMargins FrameMargins() const;
    void FollowWindowFrame();

    void ChooseTemplate();
    void NewDocument();
    void SaveDocument();
    void RunOptions();
    // Shows or hides the hex view in every pane, and keeps the choice in the settings.
    void ShowHexView(bool on);
    void ManageDriver();
    void ShowAbout();
    void ImportData();
    void ExportData();
    void LanguageSwitched();
    void FillRecentFiles();
    void OpenRecentFile(std::size_t index);
    void UpdateTitle();

    AppSettings& settings_;
    CVardelDoc& document_;
    RecentFileList& recentFiles_;
    Prompt& prompt_;

    FrameActions actions_;
    LanguageMenu* languages_;
    QToolBar* toolBar_ = nullptr;
    FrameStatusBar* statusBar_ = nullptr;
    ItemViewSplitter* splitter_ = nullptr;
    std::vector<QAction*> recentEntries_;
    QString documentName_;
    // The canonical path of the open template's file; empty when there is none or after New.
    QString openTemplate_;

    // The bridge outlives the worker, which calls it until its thread has ended.
    WorkerOwnerBridge bridge_;
    std::unique_ptr<DeviceWorker> worker_;
    std::unique_ptr<ProgressDisplay> progress_;
    // The unit handed to the worker with the running request, and its rows as they were then; null and
    // empty when the worker no longer writes into any unit's image.
    const Unit* unitInOperation_ = nullptr;
    std::vector<ListRow> rowsInOperation_;
    // The image of the last comparison or restore, which the worker may still use until it is replaced, and
    // the view to show a comparison in once its read is done.
    std::unique_ptr<FullUnitImage> chipImage_;
    QPointer<CVardelView> comparingView_;
    std::function<QString(const QString&)> chooseBackup_;
    // The BusKind value of the unit on show, FrameStatusBar::kNoBus for none.
    std::uint32_t busMode_;
    bool commandsEnabled_ = false;
    bool shown_ = false;
    // The stored outer size, until the window system has told the window its frame.
    QSize outerSizeToTake_;
    // The frame around the window when it was last shown normal, neither maximised nor full screen.
    QMargins normalFrame_;
};

}  // namespace tessaly
