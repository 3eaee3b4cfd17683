#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <csignal>

namespace tessaly {

// While it exists, SIGINT, SIGTERM and SIGHUP (Ctrl+C in the terminal, the session or xvfb-run ending)
// quit the application as closing its window does, so that the values and the settings are still
// written. The signal handler only writes a byte to a socket; the quitting happens in the event loop.
// One at a time, on the user-interface thread.
class QuitOnSignal : public QObject {
    Q_OBJECT

  public:
    QuitOnSignal();
    // Puts the previous handlers back.
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

  private:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

    static void Handle(int signal);
    void Quit();

    std::array<struct sigaction, kSignals.size()> previous_{};
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tessaly
