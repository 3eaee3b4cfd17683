#pragma once

#include <QAction>
#include <QKeySequence>
#include <map>

class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace tessaly {

// The main frame's commands as actions, with their fixed menu texts, accelerators, status bar prompts,
// tooltips and toolbar icons, and the menus and toolbar that carry them. The frame connects the actions
// to its handlers; nothing here acts.
//
// Menus are fixed texts, not part of the message table. The Verify item reads "F8" while F7 runs it,
// and F8 does nothing.
class FrameActions {
  public:
    // Makes every action as a child of frame and adds the ones that have no menu item or button (the
    // previous-pane key) to the frame itself.
    explicit FrameActions(QWidget& frame);

    // The action of a command number (CommandId.h); null for a number without one.
    QAction* Get(int command) const;

    // File, View, Command, Settings (with languageMenu after Options) and Help. The File menu's "Recent File"
    // item is the place holder that the recent files replace while there are any.
    void BuildMenus(QMenuBar& menuBar, QMenu& languageMenu);
    QMenu* FileMenu() const { return fileMenu_; }

    // Open | Options | Read, Program, Verify | the unhandled button | About.
    void BuildToolBar(QToolBar& toolBar) const;

  private:
    QAction* Add(int command, const QString& text, const QString& prompt, const QString& tip = {},
                 const QKeySequence& key = {}, const QString& icon = {});

    QWidget& frame_;
    std::map<int, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
};

}  // namespace tessaly
