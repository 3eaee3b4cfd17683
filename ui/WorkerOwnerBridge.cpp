#include "ui/WorkerOwnerBridge.h"

#include "device/DeviceState.h"
#include "ui/UiThreadCall.h"

namespace tessaly {
namespace {

// The labels of the plug-in and firmware panes; fixed texts, not part of the message table.
constexpr char kPluginLabel[] = "Plug-in: ";
constexpr char kFirmwareLabel[] = "Fw: ";

}  // namespace

void WorkerOwnerBridge::ResetProgress() {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_ = {};
}

WorkerOwnerBridge::Progress WorkerOwnerBridge::CurrentProgress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
}

WorkerOwnerBridge::Status WorkerOwnerBridge::CurrentStatus() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void WorkerOwnerBridge::SetProgressText(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.text = text;
    QueueProgressChangedLocked();
}

void WorkerOwnerBridge::SetProgressRange(std::uint32_t first, std::uint32_t last) {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.first = first;
    progress_.last = last;
    progress_.position = first;
    QueueProgressChangedLocked();
}

void WorkerOwnerBridge::SetProgressPosition(std::uint32_t position) {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.position = position;
    QueueProgressChangedLocked();
}

void WorkerOwnerBridge::QueueProgressChangedLocked() {
    if (progressQueued_) {
        return;
    }
    progressQueued_ = true;
    // Cross-thread: queued to the user-interface thread, which reads the values when it gets there.
    PostToUiThread(context_, [this] {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            progressQueued_ = false;
        }
        events_.ProgressChanged();
    });
}

DeviceState WorkerOwnerBridge::LastReportedState() {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_.state;
}

void WorkerOwnerBridge::StoreState(DeviceState state) {
    if (static_cast<std::uint32_t>(state) >= kDeviceStateCount) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    status_.state = state;
}

void WorkerOwnerBridge::SetPluginText(const std::string& version) {
    std::lock_guard<std::mutex> lock(mutex_);
    status_.pluginText = kPluginLabel + version;
}

void WorkerOwnerBridge::SetFirmwareText(const std::string& firmware) {
    std::lock_guard<std::mutex> lock(mutex_);
    status_.firmwareText = kFirmwareLabel + firmware;
}

void WorkerOwnerBridge::PostDeviceState(bool ready) {
    // Cross-thread: posted to the user-interface thread; the worker does not wait for it.
    PostToUiThread(context_, [&events = events_, ready] { events.DeviceStateChanged(ready); });
}

void WorkerOwnerBridge::OperationEnded(std::stop_token stop) {
    CallOnUiThread(context_, stop, [&events = events_] {
        events.OperationEnded();
        return true;
    });
}

void WorkerOwnerBridge::ReadDone(std::stop_token stop) {
    CallOnUiThread(context_, stop, [&events = events_] {
        events.ReadDone();
        return true;
    });
}

bool WorkerOwnerBridge::AskRetryAccess(const std::string& text, std::stop_token stop) {
    // A question the stop cuts short answers No, which abandons the operation.
    return CallOnUiThread(context_, stop, [&events = events_, text] { return events.AskRetryAccess(text); });
}

void WorkerOwnerBridge::ReportDifference(const std::string& text,
                                         const std::vector<ItemDifference>& differences,
                                         std::stop_token stop) {
    CallOnUiThread(context_, stop, [&events = events_, text, differences] {
        events.ReportDifference(text, differences);
        return true;
    });
}

bool WorkerOwnerBridge::AskProgramWithoutBackup(const std::string& text, std::stop_token stop) {
    return CallOnUiThread(context_, stop,
                          [&events = events_, text] { return events.AskProgramWithoutBackup(text); });
}

void WorkerOwnerBridge::NotifyCompletion(const std::string& text, std::stop_token stop) {
    CallOnUiThread(context_, stop, [&events = events_, text] {
        events.NotifyCompletion(text);
        return true;
    });
}

}  // namespace tessaly
