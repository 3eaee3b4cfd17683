#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/DeviceWorkerOwner.h"

namespace tessaly::test {

// An owner of the device worker that logs every call as "Name detail" (StoreState with the state's number,
// PostDeviceState 0 or 1), answers the questions from a script and can hold one of its waits as a user who
// does not answer yet would, until Release or the stop request; a wait the stop ended logs " (stopped)".
class RecordingOwner : public DeviceWorkerOwner {
  public:
    using Token = std::stop_token;

    std::atomic<bool> progressDisplay = true;
    // The answers to the questions, in order, then No; set before the request that asks them.
    std::vector<bool> answers;
    // What the last difference report listed.
    std::vector<ItemDifference> differences;

    void Hold(std::string name) {
        Lock lock(mutex_);
        held_ = std::move(name);
        released_ = false;
    }
    void Release() {
        Lock lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    // The calls of the names given, or all calls, joined by " | ".
    std::string Log(std::initializer_list<std::string_view> names = {}) const {
        Lock lock(mutex_);
        std::string log;
        for (const std::string& entry : log_) {
            if (names.size() == 0 || std::any_of(names.begin(), names.end(),
                                                 [&](std::string_view name) { return Named(entry, name); })) {
                log += (log.empty() ? "" : " | ") + entry;
            }
        }
        return log;
    }
    std::size_t Count(std::string_view name) const {
        Lock lock(mutex_);
        return Counted(name);
    }
    // Waits until count calls of the name were logged (a held wait before it blocks); false after 10 s.
    bool WaitFor(std::string_view name, std::size_t count = 1) {
        Lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return Counted(name) >= count; });
    }

    bool HasProgressDisplay() override { return progressDisplay; }
    void SetProgressText(const std::string& text) override { Record("ProgressText " + text); }
    void SetProgressRange(std::uint32_t first, std::uint32_t last) override {
        Record("ProgressRange " + std::to_string(first) + "-" + std::to_string(last));
    }
    void SetProgressPosition(std::uint32_t at) override { Record("ProgressPosition " + std::to_string(at)); }
    DeviceState LastReportedState() override { return state_; }
    void StoreState(DeviceState state) override {
        state_ = state;
        Record("StoreState " + std::to_string(static_cast<int>(state)));
    }
    void SetPluginText(const std::string& version) override { Record("PluginText " + version); }
    void SetFirmwareText(const std::string& firmware) override { Record("FirmwareText " + firmware); }
    void PostDeviceState(bool ready) override { Record(ready ? "PostDeviceState 1" : "PostDeviceState 0"); }
    void OperationEnded(Token stop) override { Wait("OperationEnded", "", stop); }
    void ReadDone(Token stop) override { Wait("ReadDone", "", stop); }
    bool AskRetryAccess(const std::string& text, Token stop) override {
        Lock lock = Wait("AskRetryAccess", text, stop);
        return !stop.stop_requested() && asked_ < answers.size() && answers[asked_++];
    }
    void ReportDifference(const std::string& text, const std::vector<ItemDifference>& list,
                          Token stop) override {
        differences = list;
        Wait("ReportDifference", text, stop);
    }
    bool AskProgramWithoutBackup(const std::string& text, Token stop) override {
        Lock lock = Wait("AskProgramWithoutBackup", text, stop);
        return !stop.stop_requested() && asked_ < answers.size() && answers[asked_++];
    }
    void BackupSaved(const std::string& path) override { Record("BackupSaved " + path); }
    void NotifyCompletion(const std::string& text, Token stop) override {
        Wait("NotifyCompletion", text, stop);
    }

  private:
    using Lock = std::unique_lock<std::mutex>;

    static bool Named(const std::string& entry, std::string_view name) {
        return entry.starts_with(name) && (entry.size() == name.size() || entry[name.size()] == ' ');
    }
    std::size_t Counted(std::string_view name) const {
        return std::count_if(log_.begin(), log_.end(),
                             [&](const std::string& entry) { return Named(entry, name); });
    }
    void Record(std::string entry) {
        Lock lock(mutex_);
        log_.push_back(std::move(entry));
        changed_.notify_all();
    }
    // Logs a wait and blocks while it is held; hands back the lock.
    Lock Wait(const std::string& name, const std::string& text, Token stop) {
        Record(text.empty() ? name : name + " " + text);
        Lock lock(mutex_);
        if (held_ == name) {
            held_.clear();
            changed_.wait(lock, stop, [&] { return released_; });
            log_.back() += stop.stop_requested() ? " (stopped)" : "";
        }
        return lock;
    }

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<std::string> log_;
    std::atomic<DeviceState> state_ = DeviceState::NoPlugin;
    std::string held_;
    std::size_t asked_ = 0;
    bool released_ = false;
};

}  // namespace tessaly::test
