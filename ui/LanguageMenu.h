#pragma once

#include <QMenu>
#include <string>

#include "settings/AppSettings.h"

class QAction;

namespace tessaly {

// The Language submenu of the Settings menu: one checkable item per language that can be chosen, labelled
// with its display name, carrying the command numbers command::kFirstLanguage upwards in the order of the
// language list (so at most 16 languages). Choosing one switches the message table at once and, when the
// switch succeeds, stores the language's name in the settings; texts fetched afterwards (the state pane,
// the list's column titles, every box) are in the new language. Menus are fixed texts and stay as they
// are.
class LanguageMenu : public QMenu {
    Q_OBJECT

  public:
    LanguageMenu(AppSettings& settings, QWidget* parent = nullptr);

    // The item of a command number; null when there is none.
    QAction* Item(int command) const;

  signals:
    // The message table now holds the chosen language's texts.
    void LanguageSwitched();

  private:
    void AddLanguages();
    void Choose(QAction* chosen);
    void CheckOnly(const QAction* chosen);

    AppSettings& settings_;
};

}  // namespace tessaly
