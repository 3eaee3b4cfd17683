#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>

#include "device/DeviceWorkerOwner.h"
#include "ui/WorkerEvents.h"

namespace tessaly {

// The device worker's owner in the desktop: it keeps what the worker hands over (state, pane texts,
// progress) behind a lock for the user-interface thread to read, and carries the worker's notifications
// and waits over to that thread as calls of WorkerEvents.
//
// Threads. The DeviceWorkerOwner operations are called by the worker thread; everything else by the
// user-interface thread, which is the thread of context. Hand-overs never wait for the user-interface
// thread: PostDeviceState and the progress calls queue a call to it and return. Waits queue a call and
// block until it has run, or until the worker is asked to stop (CallOnUiThread), so stopping the worker
// from the user-interface thread never deadlocks, not even while a question of the worker is on screen.
// Queued calls go to context and are dropped by Qt when context is destroyed; context must therefore be
// the object that owns both this bridge and events (the main frame).
class WorkerOwnerBridge : public DeviceWorkerOwner {
  public:
    // What the status bar shows of the worker's reports.
    struct Status {
        DeviceState state = DeviceState::NoPlugin;
        std::string pluginText;    // "Plug-in: <version>" once reported, empty before
        std::string firmwareText;  // "Fw: <firmware>" once reported, empty before
    };

    // Where the progress bar stands and what the progress window says.
    struct Progress {
        std::string text;
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        std::uint32_t position = 0;
    };

    WorkerOwnerBridge(QObject& context, WorkerEvents& events) : context_(context), events_(events) {}

    // User-interface thread.
    void SetProgressDisplay(bool present) { progressDisplay_.store(present, std::memory_order_release); }
    // Forgets the previous operation's progress, before a new display is shown.
    void ResetProgress();
    Progress CurrentProgress() const;
    Status CurrentStatus() const;

    // Worker thread: hand-overs.
    bool HasProgressDisplay() override { return progressDisplay_.load(std::memory_order_acquire); }
    void SetProgressText(const std::string& text) override;
    void SetProgressRange(std::uint32_t first, std::uint32_t last) override;
    void SetProgressPosition(std::uint32_t position) override;
    DeviceState LastReportedState() override;
    void StoreState(DeviceState state) override;
    void SetPluginText(const std::string& version) override;
    void SetFirmwareText(const std::string& firmware) override;
    void PostDeviceState(bool ready) override;

    // Worker thread: waits.
    void OperationEnded(std::stop_token stop) override;
    void ReadDone(std::stop_token stop) override;
    bool AskRetryAccess(const std::string& text, std::stop_token stop) override;
    void ReportDifference(const std::string& text, const std::vector<ItemDifference>& differences,
                          std::stop_token stop) override;
    bool AskProgramWithoutBackup(const std::string& text, std::stop_token stop) override;
    void BackupSaved(const std::string&) override {}
    void NotifyCompletion(const std::string& text, std::stop_token stop) override;

  private:
    // Queues one ProgressChanged for any number of progress calls before the user-interface thread gets
    // to it; the call shows the latest values. Expects mutex_ held.
    void QueueProgressChangedLocked();

    QObject& context_;
    WorkerEvents& events_;
    std::atomic<bool> progressDisplay_{false};

    mutable std::mutex mutex_;
    Status status_;
    Progress progress_;
    bool progressQueued_ = false;
};

}  // namespace tessaly
