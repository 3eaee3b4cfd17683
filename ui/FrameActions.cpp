#include "ui/FrameActions.h"

#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

#include "ui/CommandId.h"

namespace tessaly {

FrameActions::FrameActions(QWidget& frame) : frame_(frame) {
    using namespace command;
    // Text after a tab shows as the accelerator in the menu, in place of the action's own shortcut.
    Add(kProgram, QStringLiteral("&Program\tF5"), QStringLiteral("Program device with current config"),
        QStringLiteral("Program device"), Qt::Key_F5, QStringLiteral(":/icons/program.png"));
    Add(kRead, QStringLiteral("&Read\tF6"), QStringLiteral("Read device data"), QStringLiteral("Read device"),
        Qt::Key_F6, QStringLiteral(":/icons/read.png"));
    Add(kVerify, QStringLiteral("&Verify\tF8"), QStringLiteral("Verify current config with device content"),
        QStringLiteral("Verify device"), Qt::Key_F7, QStringLiteral(":/icons/verify.png"));
    Add(kCompareWithChip, QStringLiteral("&Compare with chip\tCtrl+F7"),
        QStringLiteral("Show the chip's values beside the current config"),
        QStringLiteral("Compare with chip"), QKeySequence(Qt::CTRL | Qt::Key_F7));
    Add(kRestoreBackup, QStringLiteral("Restore &backup..."),
        QStringLiteral("Write a backup of the chip back to it"));
    Add(kOptions, QStringLiteral("&Options...\tF9"), QStringLiteral("Settings of connection etc."),
        QStringLiteral("Hardware settings"), Qt::Key_F9, QStringLiteral(":/icons/options.png"));
    Add(kManageDriver, QStringLiteral("Install/Uninstall driver"), {});
    Add(kNew, QStringLiteral("&New"), QStringLiteral("Create a new document"), QStringLiteral("New"),
        QKeySequence(Qt::CTRL | Qt::Key_N));
    Add(kSave, QStringLiteral("&Save"), QStringLiteral("Save the active document"), QStringLiteral("Save"),
        QKeySequence(Qt::CTRL | Qt::Key_S));
    Add(kOpen, QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("Open an existing document"),
        QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral(":/icons/open.png"));
    Add(kImport, QStringLiteral("&Import data...\tCtrl+I"), QStringLiteral("Import data from file"),
        QStringLiteral("Import"), QKeySequence(Qt::CTRL | Qt::Key_I));
    Add(kExport, QStringLiteral("&Export data...\tCtrl+E"), QStringLiteral("Export data from file"),
        QStringLiteral("Export"), QKeySequence(Qt::CTRL | Qt::Key_E));
    Add(kRecentFile, QStringLiteral("Recent File"), QStringLiteral("Open this document"));
    Add(kExit, QStringLiteral("E&xit"), QStringLiteral("Quit the application; prompts to save documents"),
        QStringLiteral("Exit"));
    Add(kAbout, QStringLiteral("&About..."),
        QStringLiteral("Display program information, version number and copyright"), QStringLiteral("About"),
        {}, QStringLiteral(":/icons/about.png"));
    Add(kPreviousPane, QStringLiteral("Previous Pane"),
        QStringLiteral("Switch back to the previous window pane"), QStringLiteral("Previous Pane"),
        QKeySequence(Qt::SHIFT | Qt::Key_F6));
    Add(kHexView, QStringLiteral("&Hex view\tF4"),
        QStringLiteral("Show the bytes of the unit beside its items"), QStringLiteral("Hex view"), Qt::Key_F4)
        ->setCheckable(true);
    Add(kUnhandledButton, QStringLiteral("&Print..."), QStringLiteral("Print the active document"),
        QStringLiteral("Print"), {}, QStringLiteral(":/icons/print.png"));

    // Greyed as the menu resource has them until the frame or a view enables them.
    for (int greyed : {kImport, kExport, kRecentFile, kManageDriver, kUnhandledButton}) {
        Get(greyed)->setEnabled(false);
    }
    // Keys without a menu item work wherever the frame has the focus.
    frame_.addAction(Get(kPreviousPane));
    frame_.addAction(Get(kNew));
    frame_.addAction(Get(kSave));
}

QAction* FrameActions::Add(int command, const QString& text, const QString& prompt, const QString& tip,
                           const QKeySequence& key, const QString& icon) {
    auto* action = new QAction(text, &frame_);
    action->setData(command);
    action->setStatusTip(prompt);
    action->setToolTip(tip.isEmpty() ? QString(text).remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0)
                                     : tip);
    action->setShortcut(key);
    if (!icon.isEmpty()) {
        action->setIcon(QIcon(icon));
    }
    actions_[command] = action;
    return action;
}

QAction* FrameActions::Get(int command) const {
    const auto found = actions_.find(command);
    return found != actions_.end() ? found->second : nullptr;
}

void FrameActions::BuildMenus(QMenuBar& menuBar, QMenu& languageMenu) {
    using namespace command;
    fileMenu_ = menuBar.addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(Get(kOpen));
    fileMenu_->addSeparator();
    fileMenu_->addAction(Get(kImport));
    fileMenu_->addAction(Get(kExport));
    fileMenu_->addSeparator();
    fileMenu_->addAction(Get(kRecentFile));
    fileMenu_->addSeparator();
    fileMenu_->addAction(Get(kExit));

    menuBar.addMenu(QStringLiteral("&View"))->addAction(Get(kHexView));

    QMenu* commands = menuBar.addMenu(QStringLiteral("&Command"));
    commands->addAction(Get(kProgram));
    commands->addAction(Get(kRead));
    commands->addAction(Get(kVerify));
    commands->addSeparator();
    commands->addAction(Get(kCompareWithChip));
    commands->addAction(Get(kRestoreBackup));

    QMenu* settings = menuBar.addMenu(QStringLiteral("&Settings"));
    settings->addAction(Get(kOptions));
    settings->addSeparator();
    settings->addAction(Get(kManageDriver));
    settings->addMenu(&languageMenu);

    QMenu* help = menuBar.addMenu(QStringLiteral("&Help"));
    help->addAction(Get(kAbout));
}

void FrameActions::BuildToolBar(QToolBar& toolBar) const {
    using namespace command;
    toolBar.addAction(Get(kOpen));
    toolBar.addSeparator();
    toolBar.addAction(Get(kOptions));
    toolBar.addSeparator();
    toolBar.addAction(Get(kRead));
    toolBar.addAction(Get(kProgram));
    toolBar.addAction(Get(kVerify));
    toolBar.addSeparator();
    toolBar.addAction(Get(kUnhandledButton));
    toolBar.addSeparator();
    toolBar.addAction(Get(kAbout));
}

}  // namespace tessaly
