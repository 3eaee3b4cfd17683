#include "ui/CVardelView.h"

#include <QFile>
#include <QIcon>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

#include "document/DataTransfer.h"
#include "engine/KeywordTable.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"
#include "ui/InputKey.h"
#include "ui/ListFontSettings.h"
#include "ui/UnitRows.h"

namespace tessaly {
namespace {

constexpr char kUnitIcon[] = ":/icons/unit.png";
constexpr int kUnitIconSize = 32;

// The tab's tip: the unit's name and bus, as the template's title line gives them.
QString UnitTip(const Unit& unit) {
    const auto bus = static_cast<int>(unit.bus);
    return ToDisplay(unit.name) + QStringLiteral(", ") + ToDisplay(kKeywordTable[kBusKeywords.first + bus]);
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString ValueTextOf(const Unit& unit, std::uint32_t item) {
    std::string text;
    return unit.GetValueText(item, text) ? ToDisplay(text) : QString();
}

}  // namespace

CVardelView::CVardelView(CVardelDoc& document, AppSettings& settings, ItemViewFrame& frame, Prompt& prompt,
                         QWidget* parent)
    : QWidget(parent),
      document_(document),
      settings_(settings),
      frame_(frame),
      prompt_(prompt),
      tabs_(new QTabBar(this)),
      content_(new QSplitter(Qt::Horizontal, this)),
      list_(new ItemList(*this, settings, content_)),
      hex_(new HexView(content_)),
      chooseDataFile_([this](DataFileAccess access) { return AskDataFile(this, access); }) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    content_->addWidget(list_);
    content_->addWidget(hex_);
    content_->setStretchFactor(0, 1);
    content_->setChildrenCollapsible(false);
    hex_->hide();
    layout->addWidget(content_, 1);
    layout->addWidget(tabs_);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setIconSize(QSize(kUnitIconSize, kUnitIconSize));
    tabs_->setFocusPolicy(Qt::NoFocus);
    ResetTabs();
    connect(tabs_, &QTabBar::currentChanged, this, &CVardelView::TabChosen);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CVardelView::FollowSelection);
    connect(hex_, &HexView::ItemClicked, this, &CVardelView::SelectItem);

    list_->SetNameAlignment(static_cast<int>(settings_.options & kOptionAlignNameMask));
    list_->SetListFont(ListFontFromSettings(settings_));
    list_->AutoSizeColumns();
    setFocusProxy(list_);
}

CVardelView::~CVardelView() {
    // An edit still open is stored, as leaving the editor would. The list then goes before the view's own
    // parts, so nothing it does on the way out can ask a view that is half destroyed.
    list_->CloseEditor();
    StoreListFont(list_->font(), list_->logicalDpiY(), settings_);
    delete list_;
}

void CVardelView::ShowTemplate() {
    document_.templateChanged = false;
    chip_.clear();
    const UnitList* units = document_.Units();
    if (units == nullptr || units->count == 0) {
        ResetTabs();
        list_->SetRows({});
        return;
    }
    {
        const QSignalBlocker blocker(tabs_);
        while (tabs_->count() > 0) {
            tabs_->removeTab(0);
        }
        for (std::uint32_t i = 0; i < units->count; ++i) {
            const Unit& unit = *units->GetAt(i);
            const int tab = tabs_->addTab(QIcon(QLatin1String(kUnitIcon)), ToDisplay(unit.name));
            tabs_->setTabToolTip(tab, UnitTip(unit));
        }
    }
    currentUnit_ = 0;
    SelectUnit(units->GetCurrent());
    frame_.EnableImportExport(true);
}

bool CVardelView::SelectUnit(std::uint32_t index) {
    UnitList* units = document_.Units();
    if (units == nullptr || !units->SetCurrent(index)) {
        return false;
    }
    currentUnit_ = index;
    chip_.clear();
    {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(static_cast<int>(index));
    }
    RefillList();
    frame_.SetBusMode(units->GetAt(index)->bus);
    return true;
}

void CVardelView::RefillList() {
    const Unit* unit = CurrentUnit();
    if (unit == nullptr) {
        list_->SetRows({});
    } else if (const std::vector<ListRow>* copy = frame_.RowsInOperation(*unit)) {
        // The worker may be writing this unit's image; the frame refills the view when it is done.
        list_->SetRows(*copy, ItemList::RowAccess::ReadOnly);
    } else {
        std::vector<ListRow> rows = UnitRows(*unit);
        AddChipValues(*unit, chip_, rows);
        list_->SetRows(rows);
    }
    list_->SetChipColumn(!chip_.empty());
    if ((settings_.options & kOptionListResize) != 0) {
        list_->AutoSizeColumns();
    }
    ShowBytes();
}

void CVardelView::ShowHexView(bool on) {
    hex_->setVisible(on);
    ShowBytes();
}

void CVardelView::ShowBytes() {
    const Unit* unit = CurrentUnit();
    if (unit == nullptr || hex_->isHidden()) {
        hex_->Clear();
    } else if (frame_.RowsInOperation(*unit) != nullptr) {
        hex_->ShowUnitInOperation(*unit);
    } else {
        hex_->ShowUnit(*unit);
    }
    FollowSelection();
}

void CVardelView::FollowSelection() {
    hex_->SetSelectedItem(list_->RowItem(list_->SelectedRow()));
}

void CVardelView::SelectItem(std::uint32_t item) {
    for (int row = 0; row < list_->RowCount(); ++row) {
        if (list_->RowItem(row) == item) {
            list_->SelectRow(row);
            return;
        }
    }
    list_->clearSelection();
    hex_->SetSelectedItem(item);
}

void CVardelView::ShowChip(std::vector<std::uint8_t> chip) {
    chip_ = std::move(chip);
    RefillList();
}

void CVardelView::DropChip() {
    chip_.clear();
    list_->SetChipColumn(false);
}

bool CVardelView::CheckValues() {
    const Unit* unit = CurrentUnit();
    if (unit == nullptr) {
        return true;
    }
    for (int row = 0; row < list_->RowCount(); ++row) {
        const std::uint32_t item = list_->RowItem(row);
        const TemplateItem* entry = item != kNoItem ? unit->GetItem(item) : nullptr;
        if (entry == nullptr || entry->enabled == 0) {
            continue;
        }
        // The row shows this value's text; it is judged in its stored bytes, which the display form of a
        // text that is not UTF-8 would not give back.
        std::string text;
        unit->GetValueText(item, text);
        if (unit->ValidateValueText(item, text) != ValueCheck::Valid) {
            list_->SelectRow(row);
            if ((settings_.options & kOptionEditOnError) != 0) {
                list_->StartEdit(row, kNoInput);
            }
            return false;
        }
    }
    return true;
}

void CVardelView::Import() {
    if (CurrentUnit() == nullptr || frame_.IsDeviceBusy()) {
        return;
    }
    const QString path = chooseDataFile_(DataFileAccess::Import);
    Unit* unit = CurrentUnit();
    if (path.isEmpty() || unit == nullptr || frame_.IsDeviceBusy()) {
        return;
    }
    if (ImportUnitFromFile(*unit, LocalPath(path), prompt_)) {
        chip_.clear();
        RefillList();
    }
}

void CVardelView::Export() {
    if (CurrentUnit() == nullptr || frame_.IsDeviceBusy()) {
        return;
    }
    const QString path = chooseDataFile_(DataFileAccess::Export);
    const Unit* unit = CurrentUnit();
    if (path.isEmpty() || unit == nullptr || frame_.IsDeviceBusy()) {
        return;
    }
    ExportUnitToFile(*unit, LocalPath(path));
}

Unit* CVardelView::CurrentUnit() const {
    const UnitList* units = document_.Units();
    return units != nullptr ? units->GetAt(currentUnit_) : nullptr;
}

bool CVardelView::EnableChanging(std::uint32_t item, bool enabled) {
    Unit* unit = UnitWithItem(item);
    if (unit == nullptr || frame_.IsDeviceBusy() || !unit->IsListedItem(item)) {
        return false;
    }
    if (!unit->SetItemEnabled(item, enabled)) {
        return false;
    }
    ShowBytes();
    return true;
}

std::optional<EditOffer> CVardelView::EditRequested(std::uint32_t item) {
    const Unit* unit = UnitWithItem(item);
    if (unit == nullptr || frame_.IsDeviceBusy()) {
        return std::nullopt;
    }
    EditOffer offer;
    if ((settings_.options & kOptionEnableItemTips) != 0) {
        offer.tip = ToDisplay(unit->DescribeItem(item));
    }
    offeredChoices_.clear();
    switch (unit->GetItem(item)->kind) {
        case ItemKind::Bit:
        case ItemKind::Enum: {
            std::string text;
            for (std::uint32_t value = 0; unit->GetChoiceText(item, value, text); ++value) {
                if (!text.empty()) {
                    offeredChoices_.push_back(text);
                    offer.texts.append(ToDisplay(text));
                }
            }
            return offer;
        }
        case ItemKind::Num:
        case ItemKind::String:
            offer.texts.append(ValueTextOf(*unit, item));
            return offer;
        default:
            return std::nullopt;
    }
}

ValueCheck CVardelView::ValidateValue(std::uint32_t item, const EditedValue& value) {
    const Unit* unit = UnitWithItem(item);
    return unit != nullptr ? unit->ValidateValueText(item, BytesOf(value)) : ValueCheck::CannotJudge;
}

std::optional<QString> CVardelView::CommitValue(std::uint32_t item, const EditedValue& value) {
    Unit* unit = UnitWithItem(item);
    if (unit == nullptr || frame_.IsDeviceBusy() || !unit->SetValueText(item, BytesOf(value))) {
        return std::nullopt;
    }
    DropChip();
    ShowBytes();
    return ValueTextOf(*unit, item);
}

void CVardelView::TabChosen(int index) {
    if (index < 0 || static_cast<std::uint32_t>(index) == currentUnit_) {
        return;
    }
    // The open edit belongs to the unit still on show, so it ends before the unit changes.
    list_->CloseEditor();
    SelectUnit(static_cast<std::uint32_t>(index));
}

void CVardelView::ResetTabs() {
    const QSignalBlocker blocker(tabs_);
    while (tabs_->count() > 0) {
        tabs_->removeTab(0);
    }
    tabs_->addTab(QIcon(QLatin1String(kUnitIcon)), ToDisplay(GetMessageText(msg::kColumnBlank)));
    currentUnit_ = 0;
}

Unit* CVardelView::UnitWithItem(std::uint32_t item) const {
    Unit* unit = CurrentUnit();
    return unit != nullptr && item < unit->itemCount && unit->GetItem(item) != nullptr ? unit : nullptr;
}

std::string CVardelView::BytesOf(const EditedValue& value) const {
    if (value.choice >= 0 && static_cast<std::size_t>(value.choice) < offeredChoices_.size()) {
        return offeredChoices_[static_cast<std::size_t>(value.choice)];
    }
    return FromDisplay(value.text);
}

}  // namespace tessaly
