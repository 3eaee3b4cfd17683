#include "ui/HardwarePage.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "device/PluginHost.h"
#include "device/ProgrammerPlugin.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

constexpr int kDelayDigits = 3;
constexpr std::int32_t kMinPowerUpDelay = 5;
constexpr std::int32_t kMaxPowerUpDelay = 999;
constexpr std::uint32_t kPortListSize = 256;
// Beyond this many steps the slider marks every n-th value only, so that the marks stay apart.
constexpr int kMostTickMarks = 20;

QString Message(std::uint16_t message) {
    return ToDisplay(GetMessageText(message));
}

QString DelayLabel(std::uint16_t message) {
    return Message(message) + QStringLiteral(" (mS)");
}

QLineEdit* CreateDelayEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(kDelayDigits);
    return edit;
}

// An entry shows its text for display and keeps its exact bytes, which are what the settings store.
void AddEntry(QComboBox& list, const std::string& bytes) {
    list.addItem(ToDisplay(bytes), QByteArray::fromStdString(bytes));
}

std::string SelectedBytes(const QComboBox& list) {
    return list.currentData().toByteArray().toStdString();
}

// The first entry that begins with text, letter case ignored; -1 when none does.
int FindPrefix(const QComboBox& list, std::string_view text) {
    return list.findText(ToDisplay(text), Qt::MatchStartsWith);
}

// A name longer than its settings field could not be stored whole, and a cut name would name nothing.
template <typename Field>
bool Fits(const std::string& name) {
    return name.size() < Field::kCapacity;
}

int ToSliderValue(std::uint32_t value) {
    return static_cast<int>(std::min<std::uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

HardwarePage::HardwarePage(AppSettings& settings, Prompt& prompt, std::string pluginDirectory,
                           QWidget* parent)
    : OptionsPage(settings, parent), prompt_(prompt), pluginDirectory_(std::move(pluginDirectory)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreatePluginGroup());
    layout->addWidget(CreateDelayFactorGroup());
    layout->addWidget(CreateDelaysGroup());
    layout->addStretch();

    FillPluginList();
    RefreshPortList();
    delayPowerUp_->setText(QString::number(settings.delayPowerUp));
    pulsePGM_->setText(QString::number(settings.pulsePGM));
    pulseFix_->setText(QString::number(settings.pulseFix));

    // Connected only now, so that filling the list at start does not refresh the ports twice.
    connect(plugin_, &QComboBox::currentIndexChanged, this, &HardwarePage::RefreshPortList);
}

QWidget* HardwarePage::CreatePluginGroup() {
    auto* group = new QGroupBox(Message(msg::kLabelPlugIn), this);
    plugin_ = new QComboBox(group);
    plugin_->setObjectName(QStringLiteral("plugin"));
    // Entries carry the plug-ins' descriptions; the list shows what fits and the drop-down the rest.
    plugin_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    plugin_->setMinimumContentsLength(40);
    port_ = new QComboBox(group);
    port_->setObjectName(QStringLiteral("port"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(Message(msg::kLabelPort), group));
    portRow->addWidget(port_, 1);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(plugin_);
    layout->addLayout(portRow);
    return group;
}

QWidget* HardwarePage::CreateDelayFactorGroup() {
    delayFactorGroup_ = new QGroupBox(this);
    delayFactorGroup_->setObjectName(QStringLiteral("delayFactorGroup"));
    delayFactor_ = new QSlider(Qt::Horizontal, delayFactorGroup_);
    delayFactor_->setObjectName(QStringLiteral("delayFactor"));
    delayFactor_->setTickPosition(QSlider::TicksBelow);
    delayFactor_->installEventFilter(this);
    (new QVBoxLayout(delayFactorGroup_))->addWidget(delayFactor_);
    return delayFactorGroup_;
}

QWidget* HardwarePage::CreateDelaysGroup() {
    auto* group = new QGroupBox(Message(msg::kGroupDelays), this);
    delayPowerUp_ = CreateDelayEdit("delayPowerUp", group);
    pulsePGM_ = CreateDelayEdit("pulsePGM", group);
    pulseFix_ = CreateDelayEdit("pulseFix", group);
    auto* defaults = new QPushButton(Message(msg::kButtonLoadDefaults), group);
    defaults->setObjectName(QStringLiteral("loadDefaults"));
    connect(defaults, &QPushButton::clicked, this, &HardwarePage::LoadDefaultValues);
    auto* layout = new QFormLayout(group);
    layout->addRow(DelayLabel(msg::kLabelPowerUpDelay), delayPowerUp_);
    layout->addRow(DelayLabel(msg::kLabelProgramPulse), pulsePGM_);
    layout->addRow(DelayLabel(msg::kLabelFixatePulse), pulseFix_);
    layout->addRow(defaults);
    return group;
}

void HardwarePage::FillPluginList() {
    AddEntry(*plugin_, GetMessageText(msg::kNone));
    std::string list;
    const int count = EnumeratePlugins(list, pluginDirectory_);
    std::string_view lines = list;
    for (int line = 0; line < count && !lines.empty(); ++line) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        const std::string entry(lines.substr(0, end));
        if (Fits<decltype(AppSettings::pluginName)>(ExtractPluginFileName(entry))) {
            AddEntry(*plugin_, entry);
        }
        lines.remove_prefix(std::min(end + 1, lines.size()));
    }
    // With plug-ins listed, only a stored name that matches one of the entries selects any.
    plugin_->setCurrentIndex(count > 0 ? -1 : 0);
    if (const int match = FindPrefix(*plugin_, Settings().pluginName.View()); match >= 0) {
        plugin_->setCurrentIndex(match);
    }
}

void HardwarePage::RefreshPortList() {
    delayFactorGroup_->hide();
    delayFactor_->setEnabled(false);
    delayFactor_->hide();
    port_->clear();
    AddEntry(*port_, GetMessageText(msg::kNone));

    const std::string fileName = ExtractPluginFileName(SelectedBytes(*plugin_));
    ProgrammerPlugin plugin;
    if (fileName.empty() || !plugin.Load(fileName, pluginDirectory_)) {
        port_->setCurrentIndex(0);
        return;
    }
    if (!plugin.IsDriverInstalled()) {
        ManageDriver(&plugin, prompt_);
    }
    FillPortList(plugin);
    ShowDelayRange(plugin);
}

void HardwarePage::FillPortList(const ProgrammerPlugin& plugin) {
    std::string ports;
    if (plugin.EnumeratePorts(ports, kPortListSize) > 0) {
        for (const std::string& name : SplitPortList(ports)) {
            if (Fits<decltype(AppSettings::portName)>(name)) {
                AddEntry(*port_, name);
            }
        }
    }
    port_->setCurrentIndex(std::max(FindPrefix(*port_, Settings().portName.View()), 0));
}

void HardwarePage::ShowDelayRange(const ProgrammerPlugin& plugin) {
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
    if (!plugin.HasIoDelayRange() || plugin.GetIoDelayMin(minimum) != kPluginOk ||
        plugin.GetIoDelayMax(maximum) != kPluginOk) {
        return;
    }
    delayFactor_->setRange(ToSliderValue(minimum), ToSliderValue(maximum));
    delayFactor_->setTickInterval(
        std::max(1, (delayFactor_->maximum() - delayFactor_->minimum()) / kMostTickMarks));
    // Compared as unsigned numbers, so a negative factor is out of range too.
    const auto stored = static_cast<std::uint32_t>(Settings().delayIO);
    delayFactor_->setValue(ToSliderValue(stored < minimum || stored > maximum ? minimum : stored));
    UpdateDelayFactorLabel();
    delayFactorGroup_->show();
    delayFactor_->setEnabled(true);
    delayFactor_->show();
}

bool HardwarePage::eventFilter(QObject* watched, QEvent* event) {
    // delayIO follows what the slider shows once it has been drawn: a stored factor outside the range
    // becomes the slider's minimum only when the user has seen the slider there.
    if (watched == delayFactor_ && event->type() == QEvent::Paint) {
        Settings().delayIO = delayFactor_->value();
        UpdateDelayFactorLabel();
    }
    return OptionsPage::eventFilter(watched, event);
}

void HardwarePage::UpdateDelayFactorLabel() {
    delayFactorGroup_->setTitle(Message(msg::kLabelIoDelayFactor) +
                                QStringLiteral(" (%1)").arg(Settings().delayIO));
}

void HardwarePage::LoadDefaultValues() {
    delayPowerUp_->setText(ToDisplay(kDefaultDelayPowerUp));
    pulsePGM_->setText(ToDisplay(kDefaultPulsePGM));
    pulseFix_->setText(ToDisplay(kDefaultPulseFix));
}

bool HardwarePage::ApplyChanges() {
    AppSettings& settings = Settings();
    if (plugin_->currentIndex() >= 0) {
        const std::string entry = SelectedBytes(*plugin_);
        const std::string fileName = ExtractPluginFileName(entry);
        settings.pluginName.Set(fileName.empty() ? entry : fileName);
    }
    settings.portName.Set(port_->currentIndex() >= 0 ? SelectedBytes(*port_) : std::string());

    std::int32_t value = 0;
    if (!ReadNumber(*delayPowerUp_, value) || value < kMinPowerUpDelay || value > kMaxPowerUpDelay) {
        return Reject(msg::kLabelPowerUpDelay);
    }
    settings.delayPowerUp = value;
    if (!ReadNumber(*pulsePGM_, value)) {
        return Reject(msg::kLabelProgramPulse);
    }
    settings.pulsePGM = value;
    if (!ReadNumber(*pulseFix_, value)) {
        return Reject(msg::kLabelFixatePulse);
    }
    settings.pulseFix = value;
    return true;
}

}  // namespace tessaly
