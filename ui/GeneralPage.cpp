#include "ui/GeneralPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"
#include "ui/ParseHexNumber.h"

namespace tessaly {
namespace {

constexpr int kMruSizeDigits = 2;

QString Message(std::uint16_t message) {
    return ToDisplay(GetMessageText(message));
}

QCheckBox* CreateCheckBox(std::uint16_t message, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(Message(message), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit* CreateEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

void CopyBit(const QCheckBox& box, std::uint32_t bit, std::uint32_t& options) {
    options = box.isChecked() ? options | bit : options & ~bit;
}

}  // namespace

GeneralPage::GeneralPage(AppSettings& settings, QWidget* parent) : OptionsPage(settings, parent) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(CreateCommonGroup(), 0, 0);
    layout->addWidget(CreateMemoryGroup(), 1, 0);
    layout->addWidget(CreateNotificationGroup(), 2, 0);
    layout->addWidget(CreateItemListGroup(), 0, 1, 2, 1);
    layout->addWidget(CreateItemsGroup(), 2, 1);
    layout->setRowStretch(3, 1);
    ShowSettings();
}

QWidget* GeneralPage::CreateCommonGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupCommon), this);
    mruSize_ = CreateEdit("mruSize", group);
    mruSize_->setMaxLength(kMruSizeDigits);
    backupBeforeProgram_ = new QCheckBox(QStringLiteral("Back up the chip before Program"), group);
    backupBeforeProgram_->setObjectName(QStringLiteral("backupBeforeProgram"));
    auto* layout = new QFormLayout(group);
    layout->addRow(Message(msg::kLabelMruSize), mruSize_);
    layout->addRow(backupBeforeProgram_);
    return group;
}

QWidget* GeneralPage::CreateItemListGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupItemList), this);
    listResize_ = CreateCheckBox(msg::kLabelColumnsAutoResize, "listResize", group);
    auto* alignGroup = new QGroupBox(Message(msg::kLabelNameColumnAlign), group);
    nameAlignment_ = new QComboBox(alignGroup);
    nameAlignment_->setObjectName(QStringLiteral("nameAlignment"));
    (new QVBoxLayout(alignGroup))->addWidget(nameAlignment_);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(listResize_);
    layout->addWidget(alignGroup);
    layout->addStretch();
    return group;
}

QWidget* GeneralPage::CreateMemoryGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupMemoryInitialFill), this);
    memoryInit_ = CreateEdit("memoryInit", group);
    auto* layout = new QFormLayout(group);
    layout->addRow(Message(msg::kLabelFillValue), memoryInit_);
    return group;
}

QWidget* GeneralPage::CreateItemsGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupItems), this);
    enableTips_ = CreateCheckBox(msg::kLabelEnableTips, "enableTips", group);
    editOnError_ = CreateCheckBox(msg::kLabelEnableEditIfWrong, "editOnError", group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(enableTips_);
    layout->addWidget(editOnError_);
    return group;
}

QWidget* GeneralPage::CreateNotificationGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupNotification), this);
    confirmProgram_ = CreateCheckBox(msg::kLabelNotifyProgram, "confirmProgram", group);
    confirmVerify_ = CreateCheckBox(msg::kLabelNotifyVerify, "confirmVerify", group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(confirmProgram_);
    layout->addWidget(confirmVerify_);
    return group;
}

void GeneralPage::ShowSettings() {
    const AppSettings& settings = Settings();
    mruSize_->setText(QString::number(settings.mruSize));
    listResize_->setChecked((settings.options & kOptionListResize) != 0);
    enableTips_->setChecked((settings.options & kOptionEnableItemTips) != 0);
    editOnError_->setChecked((settings.options & kOptionEditOnError) != 0);
    confirmProgram_->setChecked((settings.options & kOptionConfirmProgram) != 0);
    confirmVerify_->setChecked((settings.options & kOptionConfirmVerify) != 0);
    backupBeforeProgram_->setChecked((settings.options & kOptionBackupBeforeProgram) != 0);

    for (const std::uint16_t message : {msg::kAlignLeft, msg::kAlignCenter, msg::kAlignRight}) {
        nameAlignment_->addItem(Message(message));
    }
    // The entry is found by its text, as the list's own search does, so an alignment of 3 finds none
    // and leaves the list without a selection.
    const auto alignment = static_cast<std::uint16_t>(settings.options & kOptionAlignNameMask);
    nameAlignment_->setCurrentIndex(
        nameAlignment_->findText(Message(msg::kAlignLeft + alignment), Qt::MatchStartsWith));

    // "0x%.2X": a lower-case prefix before upper-case digits.
    const uint fill = settings.memoryInit;
    memoryInit_->setText(QStringLiteral("0x") +
                         QStringLiteral("%1").arg(fill, 2, 16, QLatin1Char('0')).toUpper());
}

bool GeneralPage::ApplyChanges() {
    AppSettings& settings = Settings();
    CopyBit(*listResize_, kOptionListResize, settings.options);
    CopyBit(*enableTips_, kOptionEnableItemTips, settings.options);
    CopyBit(*editOnError_, kOptionEditOnError, settings.options);
    CopyBit(*confirmProgram_, kOptionConfirmProgram, settings.options);
    CopyBit(*confirmVerify_, kOptionConfirmVerify, settings.options);
    CopyBit(*backupBeforeProgram_, kOptionBackupBeforeProgram, settings.options);
    // Without a selection the index is -1, whose low bits keep an alignment of 3 as it was.
    const auto alignment = static_cast<std::uint32_t>(nameAlignment_->currentIndex()) & kOptionAlignNameMask;
    settings.options = (settings.options & ~kOptionAlignNameMask) | alignment;

    std::int32_t mruSize = 0;
    if (!ReadNumber(*mruSize_, mruSize) || mruSize < kMinMruSize || mruSize > kMaxMruSize) {
        return Reject(msg::kLabelMruSize);
    }
    settings.mruSize = mruSize;

    std::uint32_t memoryInit = 0;
    if (!ParseHexNumber(FromDisplay(memoryInit_->text()), memoryInit)) {
        return Reject(msg::kGroupMemoryInitialFill);
    }
    settings.memoryInit = static_cast<std::uint8_t>(memoryInit & 0xFF);
    return true;
}

}  // namespace tessaly
