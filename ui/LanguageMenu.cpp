#include "ui/LanguageMenu.h"

#include <QAction>
#include <QByteArray>

#include "text/LanguageList.h"
#include "ui/CommandId.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

// A language is offered when choosing it would select it: it has both names, and neither name is taken
// by an earlier entry, which GetLanguageName and SetLanguage would find first.
bool IsSelectable(std::size_t index, const LanguageEntry& entry) {
    const int position = static_cast<int>(index);
    return entry.hasNames && FindLanguage(entry.name) == position &&
           FindLanguageByDisplayName(entry.displayName) == position;
}

QString MenuLabel(const std::string& displayName) {
    // An ampersand in a name is a character, not a mnemonic.
    return ToDisplay(displayName).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

LanguageMenu::LanguageMenu(AppSettings& settings, QWidget* parent)
    : QMenu(QStringLiteral("&Language"), parent), settings_(settings) {
    AddLanguages();
    connect(this, &QMenu::triggered, this, &LanguageMenu::Choose);
}

void LanguageMenu::AddLanguages() {
    int command = command::kFirstLanguage;
    const QAction* current = nullptr;
    for (std::size_t index = 0; index < GetLanguageCount() && command <= command::kLastLanguage; ++index) {
        const LanguageEntry& entry = *GetLanguageEntry(index);
        if (!IsSelectable(index, entry)) {
            continue;
        }
        QAction* item = addAction(MenuLabel(entry.displayName));
        item->setCheckable(true);
        item->setData(command++);
        // The display name's own bytes, so that mapping it back to a name never depends on the conversion
        // for display.
        item->setProperty("displayName", QByteArray::fromStdString(entry.displayName));
        if (entry.name == settings_.language.View() || (index == 0 && current == nullptr)) {
            current = item;
        }
    }
    // An unknown language in the settings leaves the built-in English in force, and English is checked.
    CheckOnly(current);
}

QAction* LanguageMenu::Item(int command) const {
    for (QAction* item : actions()) {
        if (item->data().toInt() == command) {
            return item;
        }
    }
    return nullptr;
}

void LanguageMenu::Choose(QAction* chosen) {
    CheckOnly(chosen);
    std::string name;
    if (!GetLanguageName(chosen->property("displayName").toByteArray().toStdString(), name) ||
        !SetLanguage(name)) {
        return;
    }
    settings_.language.Set(name);
    emit LanguageSwitched();
}

void LanguageMenu::CheckOnly(const QAction* chosen) {
    for (QAction* item : actions()) {
        item->setChecked(item == chosen);
    }
}

}  // namespace tessaly
