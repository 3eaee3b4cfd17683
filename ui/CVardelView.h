#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "document/CVardelDoc.h"
#include "settings/AppSettings.h"
#include "text/Prompt.h"
#include "ui/DataFileDialog.h"
#include "ui/HexView.h"
#include "ui/ItemList.h"
#include "ui/ItemListOwner.h"
#include "ui/ItemViewFrame.h"

class QTabBar;
class QSplitter;

namespace tessaly {

// The document's view: one tab per unit of the open template, each with the unit icon and a tip naming
// the unit's bus, and, above the tabs, the ItemList with the items of the unit on show and, when it is
// switched on, the HexView of the unit's bytes beside it, which follows the list's selection, its values
// and its refills, and selects the item of a byte clicked in it. It answers the
// list's questions through the unit's value codec, runs Import and Export for the unit on show and checks
// its values before the frame programs or verifies.
//
// The frame creates one view per pane, all on the one document, settings record, frame and prompt, which
// must outlive the view. A view remembers its own unit on show; every answer and command works on that
// unit. While the frame reports the device worker busy, the view writes nothing into any unit.
class CVardelView : public QWidget, private ItemListOwner {
    Q_OBJECT

  public:
    CVardelView(CVardelDoc& document, AppSettings& settings, ItemViewFrame& frame, Prompt& prompt,
                QWidget* parent = nullptr);
    // Stores the value of an open edit and writes the list's font back into the settings.
    ~CVardelView() override;

    // Shows a newly loaded template: one tab per unit, then the document's current unit; clears the
    // document's templateChanged flag and enables Import and Export in the frame. The frame calls it on
    // every view once the document has loaded a template.
    void ShowTemplate();

    // Makes the unit the current one of the document and of this view, selects its tab, fills the list with
    // its items and tells the frame its bus. False, with nothing changed, for an index past the last unit.
    bool SelectUnit(std::uint32_t index);

    // Fills the list with the items of the unit on show, dropping any open editor; sizes the columns when
    // ListResize is on. While the worker may write the unit, the list shows, greyed, the copy of its rows
    // the frame took when the operation started; the frame calls this again once the worker is done.
    void RefillList();

    // Shows chip, the bytes the chip holds over the unit on show, in the list's Chip column beside the
    // values, the enabled rows that differ marked. The column goes at the next edit, unit change or
    // template load.
    void ShowChip(std::vector<std::uint8_t> chip);

    // True when every enabled item of the unit on show holds a valid value. Otherwise the first offending
    // row is selected, its editor opened when EditOnError is on, and the answer is false. True without a
    // template.
    bool CheckValues();

    // Reads the unit on show from a data file the user picks, then shows it again; writes the unit on show
    // to a data file. Both do nothing without a template or while the device worker is busy.
    void Import();
    void Export();

    // Ends the list's open edit, storing its text when it is acceptable. The frame calls it before a device
    // command and before the document loads another template, so that a pending edit lands in its unit
    // while that unit is still the one on show and is saved with it.
    void CloseEditor() { list_->CloseEditor(); }

    // Shows or hides the hex view beside the list.
    void ShowHexView(bool on);

    // The unit on show; null without a template.
    Unit* CurrentUnit() const;
    std::uint32_t CurrentUnitIndex() const { return currentUnit_; }
    // For the frame: the name column's alignment after the Options dialog, the tip after a window move,
    // the column titles after a language change.
    ItemList& List() { return *list_; }

    // Replaces the file dialogs of Import and Export.
    void SetDataFileChooser(DataFileChooser chooser) { chooseDataFile_ = std::move(chooser); }

  private:
    bool EnableChanging(std::uint32_t item, bool enabled) override;
    std::optional<EditOffer> EditRequested(std::uint32_t item) override;
    ValueCheck ValidateValue(std::uint32_t item, const EditedValue& value) override;
    std::optional<QString> CommitValue(std::uint32_t item, const EditedValue& value) override;
    void ImportRequested() override { Import(); }
    void ExportRequested() override { Export(); }

    void DropChip();
    void TabChosen(int index);
    // The hex view shows the unit on show as the list does; nothing while it is hidden.
    void ShowBytes();
    void FollowSelection();
    // Selects the item's row; for an item without one, the hex view alone highlights it.
    void SelectItem(std::uint32_t item);
    void ResetTabs();
    // The unit on show when it has the item, else null.
    Unit* UnitWithItem(std::uint32_t item) const;
    // The bytes an edited value stands for: a chosen entry's own text, or the typed text.
    std::string BytesOf(const EditedValue& value) const;

    CVardelDoc& document_;
    AppSettings& settings_;
    ItemViewFrame& frame_;
    Prompt& prompt_;
    QTabBar* tabs_;
    QSplitter* content_;
    ItemList* list_;
    HexView* hex_;
    DataFileChooser chooseDataFile_;
    std::uint32_t currentUnit_ = 0;
    // The chip's bytes of the unit on show since the last comparison; empty when the Chip column is gone.
    std::vector<std::uint8_t> chip_;
    // The choices of the last drop-down list offered, in their stored bytes.
    std::vector<std::string> offeredChoices_;
};

}  // namespace tessaly
