#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "engine/ValueCheck.h"
#include "ui/EditedValue.h"

namespace tessaly {

// What the owner offers for an item about to be edited: the text of the balloon tip beside the editor (none
// when empty) and the texts to edit with. One text opens an edit box that starts from the row's value
// text; two or more open a drop-down list of them.
struct EditOffer {
    QString tip;
    QStringList texts;
};

// The item list's questions to its owner (the item view). The list knows nothing of templates: every
// decision about an item is asked here, with the row's item index, and the list acts on the answer. All
// calls come from the user-interface thread, while the list is in a consistent state; the owner must not
// destroy the list from inside a call.
class ItemListOwner {
  public:
    virtual ~ItemListOwner() = default;

    // An item row's check box is about to change to enabled; false keeps the box as it is.
    virtual bool EnableChanging(std::uint32_t item, bool enabled) = 0;

    // An edit is about to start. No offer, or an offer without texts, means the row cannot be edited.
    virtual std::optional<EditOffer> EditRequested(std::uint32_t item) = 0;

    // The verdict on a text typed or chosen for the item. The list keeps text judged Valid or BelowMinimum
    // (so a number can be typed digit by digit) and undoes any other.
    virtual ValueCheck ValidateValue(std::uint32_t item, const EditedValue& value) = 0;

    // An edit ended with a text that passed ValidateValue: store it. The answer is the row's new value
    // text; none when the value was not stored, and the row keeps its old text.
    virtual std::optional<QString> CommitValue(std::uint32_t item, const EditedValue& value) = 0;

    // The context menu's Import and Export commands, for the owner's current unit.
    virtual void ImportRequested() = 0;
    virtual void ExportRequested() = 0;
};

}  // namespace tessaly
