#include "ui/FrameStatusBar.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

#include "engine/KeywordTable.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"
#include "ui/StateIcon.h"

namespace tessaly {
namespace {

// The message pane's text while no command is described.
constexpr char kIdlePrompt[] = "<->";
// What the port pane shows before the first refresh.
constexpr char kInitialPort[] = "none";
constexpr int kStateIconSize = 16;

// The whole text is also the pane's tooltip, since a long version or firmware text does not fit its pane.
void SetTextIfChanged(QLabel& label, const QString& text) {
    if (label.text() != text) {
        label.setText(text);
        label.setToolTip(text);
    }
}

QLabel* NewPaneLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QString BusText(std::uint32_t busMode) {
    if (busMode >= static_cast<std::uint32_t>(kBusKeywords.count)) {
        return {};
    }
    return ToDisplay(kKeywordTable[kBusKeywords.first + static_cast<int>(busMode)]);
}

}  // namespace

FrameStatusBar::FrameStatusBar(std::function<Panes()> source, QWidget* parent)
    : QStatusBar(parent), source_(std::move(source)) {
    setMinimumHeight(kMinimumHeight);
    // The message pane carries a border like the other panes.
    messagePane_ = NewPaneLabel(QString::fromLatin1(kIdlePrompt), this);
    addWidget(messagePane_, 1);
    panes_[0] = messagePane_;
    AddPane(1, {});
    AddPane(2, {});
    AddPane(3, QString::fromLatin1(kInitialPort));
    AddPane(4, {});
    AddPane(5, {});
    refreshTimer_.setInterval(kRefreshInterval);
    connect(&refreshTimer_, &QTimer::timeout, this, &FrameStatusBar::Refresh);
    refreshTimer_.start();
}

void FrameStatusBar::AddPane(int pane, const QString& initialText) {
    const int unit = QFontMetrics(font()).horizontalAdvance(QLatin1Char('w'));
    const int width = kWidthUnits[static_cast<std::size_t>(pane)] * unit;
    QLabel* text = nullptr;
    if (pane == kPaneCount - 1) {
        // The state pane: the state's icon before its text, inside one bordered pane.
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        auto* layout = new QHBoxLayout(frame);
        layout->setContentsMargins(2, 0, 2, 0);
        stateIcon_ = new QLabel(frame);
        stateIcon_->setFixedSize(kStateIconSize, kStateIconSize);
        text = new QLabel(initialText, frame);
        layout->addWidget(stateIcon_);
        layout->addWidget(text, 1);
        frame->setFixedWidth(width);
        addPermanentWidget(frame);
        panes_[static_cast<std::size_t>(pane)] = frame;
    } else {
        text = NewPaneLabel(initialText, this);
        text->setFixedWidth(width);
        addPermanentWidget(text);
        panes_[static_cast<std::size_t>(pane)] = text;
    }
    textPanes_[static_cast<std::size_t>(pane)] = text;
}

void FrameStatusBar::Refresh() {
    const Panes panes = source_();
    SetTextIfChanged(*textPanes_[1], ToDisplay(panes.pluginText));
    SetTextIfChanged(*textPanes_[2], ToDisplay(panes.firmwareText));
    SetTextIfChanged(*textPanes_[3], ToDisplay(panes.port));
    SetTextIfChanged(*textPanes_[4], BusText(panes.busMode));
    ShowState(panes.state);
}

void FrameStatusBar::ShowState(DeviceState state) {
    // Read from the message table at every refresh, so that a language switch reaches the pane.
    SetTextIfChanged(*textPanes_[5], ToDisplay(GetMessageText(DeviceStateMessage(state))));
    const QString path = tessaly::StateIconPath(state);
    if (path != stateIconPath_) {
        stateIconPath_ = path;
        stateIcon_->setPixmap(QPixmap(path));
    }
}

QString FrameStatusBar::PaneText(int pane) const {
    if (pane == 0) {
        return currentMessage().isEmpty() ? messagePane_->text() : currentMessage();
    }
    if (pane < 0 || pane >= kPaneCount) {
        return {};
    }
    return textPanes_[static_cast<std::size_t>(pane)]->text();
}

int FrameStatusBar::PaneWidth(int pane) const {
    return pane >= 0 && pane < kPaneCount ? panes_[static_cast<std::size_t>(pane)]->width() : 0;
}

QWidget& FrameStatusBar::MessagePane() const {
    return *messagePane_;
}

}  // namespace tessaly
