#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device/DeviceWorkerOwner.h"

namespace tessaly::test {

// An owner of the device worker that records every call in order, answers the questions from a script
// and can hold any of its waits until the test releases it, as a user who does not answer yet would.
// A held wait honours the stop token as the owner contract demands; Release ends it otherwise.
class RecordingOwner : public DeviceWorkerOwner {
  public:
    enum class Kind {
        ProgressText,
        ProgressRange,
        ProgressPosition,
        StoreState,
        PluginText,
        FirmwareText,
        PostDeviceState,
        OperationEnded,
        ReadDone,
        AskRetryAccess,
        ReportDifference,
        NotifyCompletion,
    };

    struct Event {
        Kind kind;
        std::string text;
        std::uint32_t value = 0;
        std::uint32_t last = 0;  // ProgressRange: the last address
        bool stopped = false;    // a wait that found the stop requested when it ended
    };

    // Configuration.
    void SetProgressDisplay(bool present);
    // The answers to the next questions, in order; afterwards every question gets `otherwise`.
    void AnswerQuestions(std::vector<bool> answers, bool otherwise = false);
    // The next call of this wait kind blocks until Release or the stop request.
    void Hold(Kind kind);
    void Release();

    // Observation.
    std::vector<Event> Events() const;
    std::vector<Event> Events(Kind kind) const;
    std::size_t Count(Kind kind) const;
    // Waits until at least count events of kind were recorded; false after the timeout.
    bool WaitFor(Kind kind, std::size_t count = 1,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until a held call is blocking.
    bool WaitUntilHolding(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    bool HasProgressDisplay() override;
    void SetProgressText(const std::string& text) override;
    void SetProgressRange(std::uint32_t first, std::uint32_t last) override;
    void SetProgressPosition(std::uint32_t position) override;
    DeviceState LastReportedState() override;
    void StoreState(DeviceState state) override;
    void SetPluginText(const std::string& version) override;
    void SetFirmwareText(const std::string& firmware) override;
    void PostDeviceState(bool ready) override;
    void OperationEnded(std::stop_token stop) override;
    void ReadDone(std::stop_token stop) override;
    bool AskRetryAccess(const std::string& text, std::stop_token stop) override;
    void ReportDifference(const std::string& text, std::stop_token stop) override;
    void NotifyCompletion(const std::string& text, std::stop_token stop) override;

  private:
    void Record(Event event);
    // Records a wait and blocks when it is held; false when the stop ended it.
    bool RecordWait(Kind kind, const std::string& text, std::stop_token stop);

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<Event> events_;
    bool progressDisplay_ = true;
    DeviceState state_ = DeviceState::NoPlugin;
    std::deque<bool> answers_;
    bool otherwise_ = false;
    bool held_ = false;
    Kind heldKind_ = Kind::OperationEnded;
    bool holding_ = false;
    bool released_ = false;
};

}  // namespace tessaly::test
