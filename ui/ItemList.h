#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <vector>

#include "settings/AppSettings.h"
#include "ui/InputKey.h"
#include "ui/ItemListOwner.h"
#include "ui/ListRow.h"
#include "ui/ValueEditorOwner.h"

namespace tessaly {

class BalloonTip;
class ItemRow;

// The list of the item view: a check box, a running number, the name and the value of each item of a unit,
// with title rows between them, and an edit box or drop-down list opened over the Value cell to edit a
// value in place. Every decision about an item is asked of the ItemListOwner.
//
// Title rows can be neither selected nor edited and have no check box; the arrow and page keys pass over
// them, Home and End do not go to one. An edit starts on Enter, on a character typed on an item row, on a
// double-click, from the context menu or through StartEdit. While the user
// types, each change is checked with the owner and one it does not accept is undone at once. When the edit
// ends, the text is checked again and stored through the owner; Tab, Down and Page Down then go on editing
// the next item row, Shift+Tab, Up and Page Up the previous one.
//
// The list reads the ListResize option of the settings whenever its column titles are refreshed.
class ItemList : public QTreeWidget, private ValueEditorOwner {
    Q_OBJECT

  public:
    static constexpr int kCheckColumn = 0;
    static constexpr int kNumberColumn = 1;
    static constexpr int kNameColumn = 2;
    static constexpr int kValueColumn = 3;
    // Hidden until a comparison with the chip shows it.
    static constexpr int kChipColumn = 4;
    static constexpr int kColumnCount = 5;

    ItemList(ItemListOwner& owner, const AppSettings& settings, QWidget* parent = nullptr);
    ~ItemList() override;

    // Whether the user may select, check and edit the item rows, or only see them greyed.
    enum class RowAccess { Editable, ReadOnly };

    // Replaces all rows. An open editor is dropped without storing its text, since its row is gone.
    void SetRows(const std::vector<ListRow>& rows, RowAccess access = RowAccess::Editable);

    int RowCount() const { return topLevelItemCount(); }
    // The item index of row; kNoItem for a title row or a row that does not exist.
    std::uint32_t RowItem(int row) const;
    // The selected row, -1 when none is.
    int SelectedRow() const;
    // Selects an item row, scrolls it into view and gives the list the focus; false for any other row.
    bool SelectRow(int row);
    // Sets an item row's check box as a click would, asking the owner; false when the box did not change.
    bool SetRowChecked(int row, bool checked);

    // Opens the editor on an item row when the owner offers texts for it; key is the input that started the
    // edit (InputKey.h), which decides how the editor starts, and typed the character that key typed, if
    // any: an edit box takes it in place of the value, a drop-down list chooses the first entry that
    // begins with it. An edit already open ends first.
    void StartEdit(int row, int key, const QString& typed = {});
    // Ends the open edit as a loss of focus would: its text is checked and stored.
    void CloseEditor();
    // The row being edited and its editor; -1 and null when no edit is open.
    int EditingRow() const { return editingRow_; }
    QWidget* Editor() const { return editor_; }

    // Shows or hides the Chip column, which the rows' chip values fill.
    void SetChipColumn(bool shown);
    bool ShowsChipColumn() const { return !isColumnHidden(kChipColumn); }

    // Sizes the check box, number and name columns to their contents; the value column takes the rest, or
    // with the Chip column shown fits its contents and leaves the rest to the chip's values.
    void AutoSizeColumns();
    // Takes the column titles from the message table again, then sizes the columns when ListResize is on.
    void RefreshColumnTitles();
    // The alignment of the name column: 0 left, 1 centre, 2 right.
    void SetNameAlignment(int alignment);
    // Uses font for the rows and titles, then refreshes the column titles.
    void SetListFont(const QFont& font);
    // Places the balloon tip beside the editor again; the frame calls it when its window moves.
    void MoveTooltip();

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    friend class ItemRow;

    // The rule every check box change passes: refused for a title row and while the right button is held,
    // otherwise the owner's answer.
    bool AllowCheckChange(const ItemRow& row, bool checked);

    bool AcceptsTypedText(const QString& text) override;
    void EditEnded(const EditedValue& value, int key) override;

    ItemRow* Row(int row) const;
    bool IsItemRow(int row) const { return RowItem(row) != kNoItem; }
    // The first item row from row on, stepping by step (+1 or -1); -1 when there is none.
    int NearestItemRow(int row, int step) const;
    int CheckColumnWidth() const;
    void PlaceEditor();
    QPoint TipPoint() const;
    void DropEditor();
    void ContinueAfterEdit(int row, int key);
    void OpenContextMenu(QPoint position);
    void CheckAll(bool checked);
    void ChooseFont();

    ItemListOwner& owner_;
    const AppSettings& settings_;
    BalloonTip* tip_;
    QWidget* editor_ = nullptr;
    int editingRow_ = -1;
    int menuRow_ = -1;
    int lastInput_ = kNoInput;
    Qt::Alignment nameAlignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

}  // namespace tessaly
