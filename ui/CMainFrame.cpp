#include "ui/CMainFrame.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QToolBar>
#include <QUrl>
#include <QWindow>
#include <utility>

#include "device/DeviceOperation.h"
#include "device/ExecutableDirectory.h"
#include "device/PluginHost.h"
#include "ui/AboutBox.h"
#include "ui/CVardelView.h"
#include "ui/CommandId.h"
#include "ui/DifferenceDialog.h"
#include "ui/FrameStatusBar.h"
#include "ui/ItemViewSplitter.h"
#include "ui/LanguageMenu.h"
#include "ui/OptionsDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressDisplay.h"
#include "ui/UnitRows.h"

namespace tessaly {
namespace {

constexpr char kApplicationTitle[] = "Tessaly";
constexpr char kUntitled[] = "Untitled";
constexpr char kTemplateFilter[] = "Template Files (*.dev)";
// The framework's own text for a file that cannot be read; not part of the message table.
constexpr char kCannotOpen[] = "Failed to open document.";
constexpr int kToolBarIconSize = 24;

WorkerSettings WorkerSettingsOf(const AppSettings& settings) {
    WorkerSettings worker;
    worker.delayIO = settings.delayIO;
    worker.delayPowerUp = settings.delayPowerUp;
    worker.pulsePGM = settings.pulsePGM;
    worker.pulseFix = settings.pulseFix;
    worker.confirmProgram = (settings.options & kOptionConfirmProgram) != 0;
    worker.confirmVerify = (settings.options & kOptionConfirmVerify) != 0;
    return worker;
}

// The recent-file entry's label: its number as the mnemonic, then the path with the home directory
// written as "~".
QString RecentLabel(std::size_t index, const std::string& path) {
    QString shown = QFile::decodeName(QByteArray::fromStdString(path));
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") && shown.startsWith(home + QLatin1Char('/'))) {
        shown = QLatin1Char('~') + shown.mid(home.size());
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainFrame::CMainFrame(AppSettings& settings, CVardelDoc& document, RecentFileList& recentFiles,
                       Prompt& prompt, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      document_(document),
      recentFiles_(recentFiles),
      prompt_(prompt),
      actions_(*this),
      languages_(new LanguageMenu(settings, this)),
      bridge_(*this, *this),
      chooseBackup_([this](const QString& folder) {
          return QFileDialog::getOpenFileName(this, QStringLiteral("Restore backup"), folder,
                                              QStringLiteral("Chip backups (*.bin)"));
      }),
      busMode_(FrameStatusBar::kNoBus) {
    if (settings_.windowWidth != 0 && settings_.windowHeight != 0) {
        // Until the window system tells the frame's size, the stored size stands for the inner one.
        outerSizeToTake_ = QSize(settings_.windowWidth, settings_.windowHeight);
        resize(outerSizeToTake_);
    } else if (const QScreen* display = screen()) {
        // The window system's default size for a new main window: two thirds of the room on screen.
        resize(display->availableSize() * 2 / 3);
    }
    actions_.BuildMenus(*menuBar(), *languages_);
    CreateToolBar();
    statusBar_ = new FrameStatusBar(
        [this] {
            const WorkerOwnerBridge::Status status = bridge_.CurrentStatus();
            return FrameStatusBar::Panes{status.pluginText, status.firmwareText,
                                         std::string(settings_.portName.View()), busMode_, status.state};
        },
        this);
    setStatusBar(statusBar_);
    splitter_ = new ItemViewSplitter([this] { return NewView(); }, this);
    setCentralWidget(splitter_);
    ConnectCommands();
    Action(command::kHexView)->setChecked((settings_.options & kOptionHexView) != 0);
    UpdateTitle();

    worker_ = std::make_unique<DeviceWorker>(bridge_, WorkerSettingsOf(settings_));
    ShowCommandsEnabled();
    StartWorker();
    worker_->ApplyIoDelay();
    UpdateDriverCommand();
}

CMainFrame::~CMainFrame() {
    StoreWindowSize();
    // The worker goes first: its thread may be waiting for this window, and it works on a unit the views
    // show. Any wait of its gives up once it is asked to stop.
    worker_.reset();
    EndOperation();
    // The views write their font into the settings, and may still ask this frame, so they go while it is
    // whole.
    delete takeCentralWidget();
    splitter_ = nullptr;
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setIconSize(QSize(kToolBarIconSize, kToolBarIconSize));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    actions_.BuildToolBar(*toolBar_);
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::ConnectCommands() {
    using namespace command;
    connect(Action(kProgram), &QAction::triggered, this,
            [this] { DeviceCommand(operation::kProgramCommand); });
    connect(Action(kRead), &QAction::triggered, this, [this] { DeviceCommand(operation::kReadCommand); });
    connect(Action(kVerify), &QAction::triggered, this, [this] { DeviceCommand(operation::kVerifyCommand); });
    connect(Action(kCompareWithChip), &QAction::triggered, this, &CMainFrame::CompareWithChip);
    connect(Action(kRestoreBackup), &QAction::triggered, this, &CMainFrame::RestoreBackup);
    connect(Action(kOptions), &QAction::triggered, this, &CMainFrame::RunOptions);
    connect(Action(kManageDriver), &QAction::triggered, this, &CMainFrame::ManageDriver);
    connect(Action(kNew), &QAction::triggered, this, &CMainFrame::NewDocument);
    connect(Action(kSave), &QAction::triggered, this, &CMainFrame::SaveDocument);
    connect(Action(kOpen), &QAction::triggered, this, &CMainFrame::ChooseTemplate);
    connect(Action(kImport), &QAction::triggered, this, &CMainFrame::ImportData);
    connect(Action(kExport), &QAction::triggered, this, &CMainFrame::ExportData);
    connect(Action(kExit), &QAction::triggered, this, &QWidget::close);
    connect(Action(kAbout), &QAction::triggered, this, &CMainFrame::ShowAbout);
    connect(Action(kHexView), &QAction::toggled, this, &CMainFrame::ShowHexView);
    connect(Action(kPreviousPane), &QAction::triggered, splitter_, &ItemViewSplitter::ActivatePreviousPane);
    connect(languages_, &LanguageMenu::LanguageSwitched, this, &CMainFrame::LanguageSwitched);
    connect(actions_.FileMenu(), &QMenu::aboutToShow, this, &CMainFrame::FillRecentFiles);
}

CVardelView* CMainFrame::NewView() {
    auto* view = new CVardelView(document_, settings_, *this, prompt_);
    view->ShowHexView((settings_.options & kOptionHexView) != 0);
    if (document_.GetUnitCount() > 0) {
        view->ShowTemplate();
    }
    return view;
}

CVardelView* CMainFrame::ActiveView() const {
    return splitter_ != nullptr ? qobject_cast<CVardelView*>(splitter_->ActivePane()) : nullptr;
}

std::vector<CVardelView*> CMainFrame::Views() const {
    std::vector<CVardelView*> views;
    if (splitter_ == nullptr) {
        return views;
    }
    for (QWidget* pane : splitter_->Panes()) {
        if (auto* view = qobject_cast<CVardelView*>(pane)) {
            views.push_back(view);
        }
    }
    return views;
}

bool CMainFrame::StartWorker() {
    return worker_->Start(std::string(settings_.pluginName.View()), std::string(settings_.portName.View()),
                          ExecutableDirectory());
}

void CMainFrame::UpdateDriverCommand() {
    const ProgrammerPlugin* plugin = worker_->Plugin();
    Action(command::kManageDriver)->setEnabled(plugin != nullptr && plugin->CanManageDriver());
}

bool CMainFrame::OpenTemplate(const QString& path) {
    if (IsDeviceBusy()) {
        return false;
    }
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    // Loading it again would enable every item again; the framework only brings an open document forward.
    if (!canonical.isEmpty() && canonical == openTemplate_) {
        return true;
    }
    // A value still being typed belongs to the template that is open, which is saved before the load.
    EndEdits();
    // The file system's own bytes for the name, whatever the display makes of them.
    const std::string fullPath = QFile::encodeName(file.absoluteFilePath()).toStdString();
    ProgressDialog progress(this);
    const CVardelDoc::OpenResult result = document_.OnOpenDocument(fullPath, settings_.memoryInit, &progress);
    if (result != CVardelDoc::OpenResult::Opened) {
        if (result == CVardelDoc::OpenResult::CannotOpen) {
            prompt_.ShowError(kCannotOpen);
        }
        return false;
    }
    recentFiles_.Add(fullPath);
    openTemplate_ = canonical;
    documentName_ = file.fileName();
    UpdateTitle();
    for (CVardelView* view : Views()) {
        view->ShowTemplate();
    }
    return true;
}

void CMainFrame::DeviceCommand(OperationMask operation) {
    if (worker_->IsBusy()) {
        return;
    }
    CVardelView* view = ActiveView();
    if (view == nullptr) {
        return;
    }
    // A value still being typed is part of the unit the command works on.
    EndEdits();
    // Read replaces the values, so it needs none of them to be right.
    if (operation != operation::kReadCommand && !view->CheckValues()) {
        return;
    }
    Unit* unit = view->CurrentUnit();
    if (unit == nullptr) {
        return;
    }
    unit->UpdateProgramMask();
    if (!ShowProgressDisplay()) {
        return;
    }
    // Taken while the image is still this thread's alone.
    std::vector<ListRow> rows = UnitRows(*unit);
    comparingView_ = nullptr;
    if (worker_->Request(operation, unit, ProgramBackup(operation))) {
        unitInOperation_ = unit;
        rowsInOperation_ = std::move(rows);
        ShowOperationRunning(true);
    }
}

std::optional<BackupFolder> CMainFrame::ProgramBackup(OperationMask operation) const {
    if (operation != operation::kProgramCommand || (settings_.options & kOptionBackupBeforeProgram) == 0) {
        return std::nullopt;
    }
    // Named as the companion file is, after the template's name.
    return BackupFolder::ForTemplate(document_.CompanionPath());
}

void CMainFrame::CompareWithChip() {
    CVardelView* view = ActiveView();
    if (worker_->IsBusy() || view == nullptr || view->CurrentUnit() == nullptr) {
        return;
    }
    EndEdits();
    if (RequestForImage(operation::kReadCommand, std::make_unique<FullUnitImage>(*view->CurrentUnit()))) {
        comparingView_ = view;
    }
}

void CMainFrame::RestoreBackup() {
    const Unit* unit = ActiveView() != nullptr ? ActiveView()->CurrentUnit() : nullptr;
    if (worker_->IsBusy() || unit == nullptr) {
        return;
    }
    const QString folder =
        QString::fromStdString(BackupFolder::ForTemplate(document_.CompanionPath()).Directory());
    const QString path = chooseBackup_(folder);
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    auto image = std::make_unique<FullUnitImage>(*unit);
    if (!image->Load({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())})) {
        prompt_.ShowError("The backup holds " + std::to_string(bytes.size()) + " bytes; unit " + unit->name +
                          " has " + std::to_string(unit->ImageSize()) + ". Nothing was written.");
        return;
    }
    RequestForImage(FullUnitImage::kRestore, std::move(image));
}

bool CMainFrame::RequestForImage(OperationMask operation, std::unique_ptr<FullUnitImage> image) {
    // A file dialog may have been open since the caller looked.
    if (worker_->IsBusy() || !ShowProgressDisplay()) {
        return false;
    }
    // The worker is idle, so the image it last had is free.
    chipImage_ = std::move(image);
    comparingView_ = nullptr;
    if (!worker_->Request(operation, &chipImage_->Target())) {
        return false;
    }
    ShowOperationRunning(true);
    return true;
}

void CMainFrame::EndEdits() {
    for (CVardelView* view : Views()) {
        view->CloseEditor();
    }
}

bool CMainFrame::ShowProgressDisplay() {
    if (progress_ == nullptr) {
        bridge_.ResetProgress();
        progress_ = std::make_unique<ProgressDisplay>(statusBar_->MessagePane(), *this);
    }
    if (!progress_->IsComplete()) {
        RemoveProgressDisplay();
        return false;
    }
    bridge_.SetProgressDisplay(true);
    return true;
}

void CMainFrame::RemoveProgressDisplay() {
    bridge_.SetProgressDisplay(false);
    progress_.reset();
}

void CMainFrame::ProgressChanged() {
    if (progress_ != nullptr) {
        progress_->Show(bridge_.CurrentProgress());
    }
}

void CMainFrame::EnableCommands(bool on) {
    if (on == commandsEnabled_) {
        return;
    }
    commandsEnabled_ = on;
    ShowCommandsEnabled();
}

void CMainFrame::ShowCommandsEnabled() {
    for (int command : {command::kProgram, command::kRead, command::kVerify, command::kCompareWithChip,
                        command::kRestoreBackup}) {
        Action(command)->setEnabled(commandsEnabled_);
    }
}

void CMainFrame::ApplyOptions(const AppSettings& chosen) {
    // 1. The general values and the delays; the worker reads its own copy of the delays.
    settings_.mruSize = chosen.mruSize;
    settings_.memoryInit = chosen.memoryInit;
    settings_.options = (settings_.options & ~kOptionsMask) | (chosen.options & kOptionsMask);
    settings_.delayIO = chosen.delayIO;
    settings_.delayPowerUp = chosen.delayPowerUp;
    settings_.pulsePGM = chosen.pulsePGM;
    settings_.pulseFix = chosen.pulseFix;
    worker_->UpdateSettings(WorkerSettingsOf(settings_));
    // 2. Another plug-in or port restarts the worker; the first poll of its new thread then enables or
    // disables the commands according to the state.
    if (chosen.pluginName != settings_.pluginName || chosen.portName != settings_.portName) {
        settings_.pluginName = chosen.pluginName;
        settings_.portName = chosen.portName;
        EnableCommands(StartWorker());
        // An operation the restart cut short never reports its end.
        EndOperation();
    }
    // 3. In every case.
    worker_->ApplyIoDelay();
    UpdateDriverCommand();
    const int alignment = static_cast<int>(settings_.options & kOptionAlignNameMask);
    for (CVardelView* view : Views()) {
        view->List().SetNameAlignment(alignment);
    }
    RefillViews();
}

bool CMainFrame::IsDeviceBusy() const {
    return worker_ != nullptr && worker_->IsBusy();
}

void CMainFrame::SetBusMode(BusKind bus) {
    busMode_ = static_cast<std::uint32_t>(bus);
    if (worker_ != nullptr) {
        worker_->SetBusMode(busMode_);
    }
}

void CMainFrame::EnableImportExport(bool on) {
    Action(command::kImport)->setEnabled(on);
    Action(command::kExport)->setEnabled(on);
}

const std::vector<ListRow>* CMainFrame::RowsInOperation(const Unit& unit) const {
    return &unit == unitInOperation_ ? &rowsInOperation_ : nullptr;
}

void CMainFrame::ReadDone() {
    // The image holds what was read and the worker writes no more into it.
    ReleaseUnit();
    RefillViews();
    if (comparingView_ != nullptr) {
        comparingView_->ShowChip(chipImage_->Bytes());
        comparingView_ = nullptr;
    }
}

void CMainFrame::OperationEnded() {
    // The panes showing the unit show it from its image again; Program has also stored the derived fields
    // into it.
    EndOperation();
    RefillViews();
}

void CMainFrame::ReleaseUnit() {
    unitInOperation_ = nullptr;
    rowsInOperation_.clear();
}

void CMainFrame::EndOperation() {
    RemoveProgressDisplay();
    ReleaseUnit();
    ShowOperationRunning(false);
}

void CMainFrame::ShowOperationRunning(bool running) {
    // Another template cannot be opened while the worker writes into the open one; greyed, Open, the
    // recent files and (through the drag cursor) drops say so.
    Action(command::kOpen)->setEnabled(!running);
    for (QAction* entry : recentEntries_) {
        entry->setEnabled(!running);
    }
}

void CMainFrame::RefillViews() {
    for (CVardelView* view : Views()) {
        view->RefillList();
    }
}

bool CMainFrame::AskRetryAccess(const std::string& text) {
    return AskAccessErrorQuestion(prompt_, text);
}

void CMainFrame::ReportDifference(const std::string& text, const std::vector<ItemDifference>& differences) {
    DifferenceDialog(text, differences, this).exec();
}

bool CMainFrame::AskProgramWithoutBackup(const std::string& text) {
    return prompt_.AskYesNo({}, text, PromptIcon::Question, PromptAnswer::No);
}

void CMainFrame::NotifyCompletion(const std::string& text) {
    raise();
    activateWindow();
    prompt_.ShowMessage({}, text, PromptIcon::Information);
}

void CMainFrame::ChooseTemplate() {
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), QString(), QLatin1String(kTemplateFilter));
    if (!path.isEmpty()) {
        OpenTemplate(path);
    }
}

void CMainFrame::NewDocument() {
    // As the framework's new document: the open template stays as it is, only the title forgets its file.
    documentName_.clear();
    openTemplate_.clear();
    UpdateTitle();
}

void CMainFrame::SaveDocument() {
    // The template file itself is never written; what the document has to save are its values.
    if (IsDeviceBusy()) {
        return;
    }
    EndEdits();
    document_.SaveCompanionFile();
}

void CMainFrame::RunOptions() {
    OptionsDialog dialog(settings_, prompt_, ExecutableDirectory(), this);
    if (dialog.exec() == QDialog::Accepted) {
        ApplyOptions(dialog.Settings());
    }
}

void CMainFrame::ShowHexView(bool on) {
    settings_.options = on ? settings_.options | kOptionHexView : settings_.options & ~kOptionHexView;
    for (CVardelView* view : Views()) {
        view->ShowHexView(on);
    }
}

void CMainFrame::ManageDriver() {
    tessaly::ManageDriver(worker_->Plugin(), prompt_);
    UpdateDriverCommand();
}

void CMainFrame::ShowAbout() {
    AboutBox about(this);
    about.exec();
}

void CMainFrame::ImportData() {
    if (CVardelView* view = ActiveView()) {
        view->Import();
    }
}

void CMainFrame::ExportData() {
    if (CVardelView* view = ActiveView()) {
        view->Export();
    }
}

void CMainFrame::LanguageSwitched() {
    for (CVardelView* view : Views()) {
        view->List().RefreshColumnTitles();
    }
    statusBar_->Refresh();
}

void CMainFrame::FillRecentFiles() {
    QMenu* file = actions_.FileMenu();
    QAction* placeholder = Action(command::kRecentFile);
    for (QAction* entry : recentEntries_) {
        file->removeAction(entry);
        entry->deleteLater();
    }
    recentEntries_.clear();
    const std::vector<std::string>& paths = recentFiles_.Paths();
    placeholder->setVisible(paths.empty());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        auto* entry = new QAction(RecentLabel(index, paths[index]), file);
        entry->setStatusTip(placeholder->statusTip());
        entry->setEnabled(Action(command::kOpen)->isEnabled());
        connect(entry, &QAction::triggered, this, [this, index] { OpenRecentFile(index); });
        file->insertAction(placeholder, entry);
        recentEntries_.push_back(entry);
    }
}

void CMainFrame::OpenRecentFile(std::size_t index) {
    if (index >= recentFiles_.Paths().size()) {
        return;
    }
    // A file that no longer opens leaves the list, as in the framework.
    if (!OpenTemplate(QFile::decodeName(QByteArray::fromStdString(recentFiles_.Paths()[index]))) &&
        !IsDeviceBusy()) {
        recentFiles_.Remove(index);
    }
}

void CMainFrame::UpdateTitle() {
    const QString name = documentName_.isEmpty() ? QLatin1String(kUntitled) : documentName_;
    setWindowTitle(name + QStringLiteral(" - ") + QLatin1String(kApplicationTitle));
}

void CMainFrame::showEvent(QShowEvent* event) {
    shown_ = true;
    QMainWindow::showEvent(event);
    FollowWindowFrame();
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    FollowWindowFrame();
    if (CVardelView* view = ActiveView()) {
        view->List().MoveTooltip();
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FollowWindowFrame();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && Action(command::kOpen)->isEnabled()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    if (OpenDroppedFiles(event->mimeData()->urls())) {
        event->acceptProposedAction();
    }
}

bool CMainFrame::OpenDroppedFiles(const QList<QUrl>& files) {
    // One file opens as File > Open would; several are ignored.
    return files.size() == 1 && files.front().isLocalFile() && OpenTemplate(files.front().toLocalFile());
}

void CMainFrame::StoreWindowSize() {
    // A window that was never shown has only a made-up size, which would replace the user's.
    if (!shown_) {
        return;
    }
    // A maximised size, restored as a normal window, would not fit the screen.
    const QSize size = normalGeometry().size().grownBy(normalFrame_);
    settings_.windowWidth = size.width();
    settings_.windowHeight = size.height();
}

QMargins CMainFrame::FrameMargins() const {
    const QWindow* window = windowHandle();
    return window != nullptr ? window->frameMargins() : QMargins();
}

void CMainFrame::FollowWindowFrame() {
    if (!isVisible() || windowState() != Qt::WindowNoState) {
        return;
    }
    normalFrame_ = FrameMargins();
    // The window system frames a window only once it is shown; then the stored outer size can be taken.
    if (outerSizeToTake_.isValid() && !normalFrame_.isNull()) {
        resize(std::exchange(outerSizeToTake_, QSize()).shrunkBy(normalFrame_));
    }
}

}  // namespace tessaly
