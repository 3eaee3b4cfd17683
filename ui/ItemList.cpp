#include "ui/ItemList.h"

#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <utility>

#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/BalloonTip.h"
#include "ui/DisplayText.h"
#include "ui/GridLineDelegate.h"
#include "ui/ItemRow.h"
#include "ui/ValueCombo.h"
#include "ui/ValueEdit.h"

namespace tessaly {
namespace {

// Room added to the widest text of a sized column.
constexpr int kColumnPadding = 15;
// Where the tip points, from the editor's bottom right corner.
constexpr QPoint kTipOffset(-40, -10);
// How far the editors stand in from the Value cell's left edge.
constexpr int kEditIndent = 4;
constexpr int kComboIndent = 2;

// Codes 0 and -1 keep a text: -1 lets a number below its minimum be typed digit by digit.
bool Keeps(ValueCheck check) {
    return check == ValueCheck::Valid || check == ValueCheck::BelowMinimum;
}

QString Message(std::uint16_t index) {
    return ToDisplay(GetMessageText(index));
}

Qt::Alignment NameAlignment(int alignment) {
    switch (alignment) {
        case 1:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case 2:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// +1 for the keys that end an edit and go on with the next row, -1 for the previous row, 0 for the others.
int EditStep(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            return 1;
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_PageUp:
            return -1;
        default:
            return 0;
    }
}

// A key that types a character: printable text, with neither Ctrl, Alt nor Meta held.
bool IsTypedCharacter(const QKeyEvent& event) {
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint() &&
           (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

bool HoldsMenuBlockingModifier(Qt::KeyboardModifiers modifiers) {
    return (modifiers & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)) != 0;
}

}  // namespace

ItemList::ItemList(ItemListOwner& owner, const AppSettings& settings, QWidget* parent)
    : QTreeWidget(parent), owner_(owner), settings_(settings), tip_(new BalloonTip(this)) {
    setColumnCount(kColumnCount);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setItemDelegate(new GridLineDelegate(this));
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setMinimumSectionSize(CheckColumnWidth());
    connect(header(), &QHeaderView::sectionResized, this, [this] {
        PlaceEditor();
        MoveTooltip();
    });
    RefreshColumnTitles();
    setColumnHidden(kChipColumn, true);
    setFocus();
}

void ItemList::SetChipColumn(bool shown) {
    setColumnHidden(kChipColumn, !shown);
    if (shown) {
        resizeColumnToContents(kValueColumn);
    }
}

ItemList::~ItemList() {
    DropEditor();
}

void ItemList::SetRows(const std::vector<ListRow>& rows, RowAccess access) {
    DropEditor();
    menuRow_ = -1;
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const ListRow& row : rows) {
        auto* item = new ItemRow(row, nameAlignment_);
        if (access == RowAccess::ReadOnly) {
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
        items.append(item);
    }
    addTopLevelItems(items);
}

std::uint32_t ItemList::RowItem(int row) const {
    const ItemRow* itemRow = Row(row);
    return itemRow != nullptr ? itemRow->Item() : kNoItem;
}

int ItemList::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

bool ItemList::SelectRow(int row) {
    if (!IsItemRow(row)) {
        return false;
    }
    setCurrentItem(Row(row));
    scrollToItem(Row(row));
    setFocus();
    return true;
}

bool ItemList::SetRowChecked(int row, bool checked) {
    ItemRow* itemRow = Row(row);
    if (itemRow == nullptr || itemRow->IsTitle()) {
        return false;
    }
    itemRow->setCheckState(kCheckColumn, checked ? Qt::Checked : Qt::Unchecked);
    return itemRow->checkState(kCheckColumn) == (checked ? Qt::Checked : Qt::Unchecked);
}

void ItemList::StartEdit(int row, int key, const QString& typed) {
    CloseEditor();
    tip_->hide();
    if (!IsItemRow(row)) {
        return;
    }
    const std::optional<EditOffer> offer = owner_.EditRequested(RowItem(row));
    if (!offer.has_value() || offer->texts.isEmpty()) {
        return;
    }
    editingRow_ = row;
    scrollToItem(Row(row));
    const QString shown = Row(row)->text(kValueColumn);
    ValueEdit* edit = nullptr;
    ValueCombo* combo = nullptr;
    if (offer->texts.size() == 1) {
        editor_ = edit = new ValueEdit(*this, shown, viewport());
    } else {
        editor_ = combo = new ValueCombo(*this, offer->texts, shown, viewport());
    }
    PlaceEditor();
    editor_->show();
    editor_->setFocus();
    if (edit != nullptr) {
        edit->ApplyStartKey(key, typed);
    } else {
        combo->ChooseByPrefix(typed);
    }
    if (!offer->tip.isEmpty()) {
        tip_->ShowAt(offer->tip, TipPoint());
    }
}

void ItemList::CloseEditor() {
    if (editor_ != nullptr) {
        editor_->close();
    }
}

void ItemList::AutoSizeColumns() {
    if (RowCount() > 0) {
        setColumnWidth(kCheckColumn, CheckColumnWidth());
    }
    const QFontMetrics metrics(font());
    for (const int column : {kNumberColumn, kNameColumn}) {
        int widest = metrics.horizontalAdvance(headerItem()->text(column));
        for (int row = 0; row < RowCount(); ++row) {
            widest = std::max(widest, metrics.horizontalAdvance(topLevelItem(row)->text(column)));
        }
        setColumnWidth(column, widest + kColumnPadding);
    }
    if (ShowsChipColumn()) {
        resizeColumnToContents(kValueColumn);
    }
}

void ItemList::RefreshColumnTitles() {
    setHeaderLabels({QString(), Message(msg::kColumnNumber), Message(msg::kColumnName),
                     Message(msg::kColumnValue), QStringLiteral("Chip")});
    if ((settings_.options & kOptionListResize) != 0) {
        AutoSizeColumns();
    }
}

void ItemList::SetNameAlignment(int alignment) {
    nameAlignment_ = NameAlignment(alignment);
    headerItem()->setTextAlignment(kNameColumn, nameAlignment_);
    for (int row = 0; row < RowCount(); ++row) {
        topLevelItem(row)->setTextAlignment(kNameColumn, nameAlignment_);
    }
}

void ItemList::SetListFont(const QFont& font) {
    setFont(font);
    RefreshColumnTitles();
    PlaceEditor();
    MoveTooltip();
}

void ItemList::MoveTooltip() {
    if (editor_ != nullptr && tip_->isVisible()) {
        tip_->MoveTo(TipPoint());
    }
}

QModelIndex ItemList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex target = QTreeWidget::moveCursor(action, modifiers);
    if (!target.isValid() || IsItemRow(target.row())) {
        return target;
    }
    // Home and End ask for one row in particular: a title row there is no place to go.
    if (action == MoveHome || action == MoveEnd) {
        return currentIndex();
    }
    // The target is a title row: take the nearest item row beyond it, or else the nearest one before it.
    const bool backward = action == MoveUp || action == MovePageUp || action == MovePrevious;
    const int step = backward ? -1 : 1;
    int row = NearestItemRow(target.row(), step);
    if (row < 0) {
        row = NearestItemRow(target.row(), -step);
    }
    return row < 0 ? currentIndex() : indexFromItem(topLevelItem(row), target.column());
}

void ItemList::keyPressEvent(QKeyEvent* event) {
    lastInput_ = event->key();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            lastInput_ = Qt::Key_Return;
            StartEdit(SelectedRow(), Qt::Key_Return);
            break;
        case Qt::Key_Space:
            if (const int row = SelectedRow(); IsItemRow(row)) {
                SetRowChecked(row, Row(row)->checkState(kCheckColumn) != Qt::Checked);
            }
            break;
        default:
            if (const int row = SelectedRow(); IsItemRow(row) && IsTypedCharacter(*event)) {
                StartEdit(row, event->key(), event->text());
            } else {
                QTreeWidget::keyPressEvent(event);
            }
    }
}

void ItemList::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Menu || HoldsMenuBlockingModifier(event->modifiers())) {
        QTreeWidget::keyReleaseEvent(event);
        return;
    }
    const int selected = SelectedRow();
    const QTreeWidgetItem* anchor = topLevelItem(selected >= 0 ? selected : 0);
    const QRect cell = anchor != nullptr ? visualRect(indexFromItem(anchor, kValueColumn)) : QRect();
    OpenContextMenu(cell.topLeft());
}

void ItemList::mousePressEvent(QMouseEvent* event) {
    lastInput_ = event->button() == Qt::RightButton ? kRightButtonInput : kLeftButtonInput;
    QTreeWidgetItem* under = itemAt(event->position().toPoint());
    const bool onTitle = under != nullptr && !IsItemRow(indexOfTopLevelItem(under));
    // A right click leaves the selection where it is, and a title row never takes it.
    if (event->button() == Qt::RightButton || onTitle) {
        setFocus();
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void ItemList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    if (!HoldsMenuBlockingModifier(event->modifiers())) {
        OpenContextMenu(event->position().toPoint());
    }
}

void ItemList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    // A double-click on the check box only toggles it.
    if (index.column() == kCheckColumn || !IsItemRow(index.row())) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    StartEdit(index.row(), lastInput_);
}

void ItemList::contextMenuEvent(QContextMenuEvent* event) {
    // The menu opens when the right button or the menu key is released, not when the platform asks.
    event->accept();
}

void ItemList::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    PlaceEditor();
    MoveTooltip();
}

void ItemList::scrollContentsBy(int dx, int dy) {
    QTreeWidget::scrollContentsBy(dx, dy);
    PlaceEditor();
    MoveTooltip();
}

bool ItemList::AllowCheckChange(const ItemRow& row, bool checked) {
    if (row.IsTitle() || (QGuiApplication::mouseButtons() & Qt::RightButton) != 0) {
        return false;
    }
    return owner_.EnableChanging(row.Item(), checked);
}

bool ItemList::AcceptsTypedText(const QString& text) {
    return IsItemRow(editingRow_) && Keeps(owner_.ValidateValue(RowItem(editingRow_), {text, -1}));
}

void ItemList::EditEnded(const EditedValue& value, int key) {
    if (editor_ == nullptr) {
        return;  // an editor already dropped, reporting the focus it lost on the way out
    }
    const int row = editingRow_;
    DropEditor();
    if (IsItemRow(row) && Keeps(owner_.ValidateValue(RowItem(row), value))) {
        const std::optional<QString> shown = owner_.CommitValue(RowItem(row), value);
        if (shown.has_value() && IsItemRow(row)) {
            Row(row)->setText(kValueColumn, *shown);
        }
    }
    lastInput_ = key;
    ContinueAfterEdit(row, key);
}

ItemRow* ItemList::Row(int row) const {
    QTreeWidgetItem* item = row >= 0 ? topLevelItem(row) : nullptr;
    return item != nullptr && item->type() == QTreeWidgetItem::UserType ? static_cast<ItemRow*>(item)
                                                                        : nullptr;
}

int ItemList::NearestItemRow(int row, int step) const {
    for (; row >= 0 && row < RowCount(); row += step) {
        if (IsItemRow(row)) {
            return row;
        }
    }
    return -1;
}

int ItemList::CheckColumnWidth() const {
    // Room for the box with some air around it, and never less than the style draws the box in.
    const int box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return std::max(box * 7 / 5, box + 2 * margin);
}

void ItemList::PlaceEditor() {
    const ItemRow* row = Row(editingRow_);
    if (editor_ == nullptr || row == nullptr) {
        return;
    }
    QRect cell = visualRect(indexFromItem(row, kValueColumn));
    if (qobject_cast<QComboBox*>(editor_) != nullptr) {
        // A drop-down list may need more height than a row has; it stays centred on the row.
        const int height = std::max(cell.height(), editor_->sizeHint().height());
        cell.adjust(kComboIndent, 0, 0, 0);
        cell = QRect(cell.left(), cell.center().y() - height / 2, cell.width(), height);
    } else {
        cell.adjust(kEditIndent, 0, 0, 0);
    }
    editor_->setGeometry(cell);
}

QPoint ItemList::TipPoint() const {
    return editor_->mapToGlobal(QPoint(editor_->width(), editor_->height()) + kTipOffset);
}

void ItemList::DropEditor() {
    QWidget* editor = std::exchange(editor_, nullptr);
    editingRow_ = -1;
    tip_->hide();
    if (editor == nullptr) {
        return;
    }
    // Keep the focus in the list rather than let it wander to the next widget when the editor goes.
    if (window()->focusWidget() == editor) {
        setFocus();
    }
    editor->hide();
    editor->deleteLater();
}

void ItemList::ContinueAfterEdit(int row, int key) {
    const int step = EditStep(key);
    const int next = step != 0 ? NearestItemRow(row + step, step) : -1;
    if (next < 0) {
        if (QTreeWidgetItem* edited = topLevelItem(row); edited != nullptr) {
            scrollToItem(edited);
        }
        return;
    }
    SelectRow(next);
    StartEdit(next, key);
}

void ItemList::OpenContextMenu(QPoint position) {
    const bool hasRows = RowCount() > 0;
    QTreeWidgetItem* under = itemAt(position);
    const int row = under != nullptr ? indexOfTopLevelItem(under) : -1;
    menuRow_ = IsItemRow(row) ? row : -1;

    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (hasRows && menuRow_ >= 0) {
        menu->addAction(Message(msg::kMenuEditItem), this, [this] { StartEdit(SelectedRow(), kNoInput); });
        menu->addSeparator();
        menu->addAction(Message(msg::kMenuEnableItem), this, [this] { SetRowChecked(menuRow_, true); });
        menu->addAction(Message(msg::kMenuDisableItem), this, [this] { SetRowChecked(menuRow_, false); });
        menu->addSeparator();
    }
    if (hasRows) {
        menu->addAction(Message(msg::kMenuEnableAllItems), this, [this] { CheckAll(true); });
        menu->addAction(Message(msg::kMenuDisableAllItems), this, [this] { CheckAll(false); });
        menu->addSeparator();
    }
    menu->addAction(Message(msg::kMenuSelectFont), this, &ItemList::ChooseFont);
    if (hasRows) {
        menu->addSeparator();
        menu->addAction(Message(msg::kMenuImportData), this, [this] { owner_.ImportRequested(); });
        menu->addAction(Message(msg::kMenuExportData), this, [this] { owner_.ExportRequested(); });
    }
    menu->popup(viewport()->mapToGlobal(position));
}

void ItemList::CheckAll(bool checked) {
    for (int row = 0; row < RowCount(); ++row) {
        SetRowChecked(row, checked);
    }
}

void ItemList::ChooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, this->font(), this);
    if (chosen) {
        SetListFont(font);
    }
}

}  // namespace tessaly
