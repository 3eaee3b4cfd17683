#pragma once

#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "device/DeviceState.h"

class QFrame;
class QLabel;

namespace tessaly {

// The main frame's status bar: pane 0, the message pane, stretches and shows the prompts of commands
// (and, during an operation, the progress bar placed over it); panes 1 to 5 show the plug-in's version,
// the programmer's firmware, the port, the bus of the unit on show and the device state with its icon.
//
// Panes 1 to 5 keep the widths 16 : 11 : 5 : 4 : 20 in units of the width of the letter "w" in the bar's
// font. A repeating 100 ms timer refreshes them from the source, so they follow the device worker's
// reports within 100 ms; before the first tick they show their initial texts.
class FrameStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    static constexpr int kPaneCount = 6;
    static constexpr std::array<int, kPaneCount> kWidthUnits = {0, 16, 11, 5, 4, 20};
    static constexpr int kMinimumHeight = 32;
    static constexpr std::chrono::milliseconds kRefreshInterval{100};
    // No unit on show: pane 4 stays empty.
    static constexpr std::uint32_t kNoBus = 3;

    // What panes 1 to 5 show at a refresh.
    struct Panes {
        std::string pluginText;
        std::string firmwareText;
        std::string port;
        std::uint32_t busMode = kNoBus;
        DeviceState state = DeviceState::NoPlugin;
    };

    FrameStatusBar(std::function<Panes()> source, QWidget* parent = nullptr);

    // Reads the source and updates the panes that changed; the timer calls it.
    void Refresh();

    QString PaneText(int pane) const;
    // The width of a pane in pixels.
    int PaneWidth(int pane) const;
    // The resource path of the state icon on show; empty before the first refresh.
    QString StateIconPath() const { return stateIconPath_; }
    // Pane 0, over which the progress bar lies during an operation.
    QWidget& MessagePane() const;

  private:
    void AddPane(int pane, const QString& initialText);
    void ShowState(DeviceState state);

    std::function<Panes()> source_;
    QTimer refreshTimer_;
    QLabel* messagePane_;
    std::array<QWidget*, kPaneCount> panes_{};
    std::array<QLabel*, kPaneCount> textPanes_{};
    QLabel* stateIcon_ = nullptr;
    QString stateIconPath_;
};

}  // namespace tessaly
