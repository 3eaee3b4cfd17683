#include "RecordingOwner.h"

namespace tessaly::test {

using Lock = std::unique_lock<std::mutex>;

void RecordingOwner::SetProgressDisplay(bool present) {
    Lock lock(mutex_);
    progressDisplay_ = present;
}

void RecordingOwner::AnswerQuestions(std::vector<bool> answers, bool otherwise) {
    Lock lock(mutex_);
    answers_.assign(answers.begin(), answers.end());
    otherwise_ = otherwise;
}

void RecordingOwner::Hold(Kind kind) {
    Lock lock(mutex_);
    held_ = true;
    heldKind_ = kind;
    released_ = false;
}

void RecordingOwner::Release() {
    Lock lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

std::vector<RecordingOwner::Event> RecordingOwner::Events() const {
    Lock lock(mutex_);
    return events_;
}

std::vector<RecordingOwner::Event> RecordingOwner::Events(Kind kind) const {
    std::vector<Event> chosen;
    for (const Event& event : Events()) {
        if (event.kind == kind) {
            chosen.push_back(event);
        }
    }
    return chosen;
}

std::size_t RecordingOwner::Count(Kind kind) const {
    return Events(kind).size();
}

bool RecordingOwner::WaitFor(Kind kind, std::size_t count, std::chrono::milliseconds timeout) {
    Lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        std::size_t seen = 0;
        for (const Event& event : events_) {
            seen += event.kind == kind ? 1 : 0;
        }
        return seen >= count;
    });
}

bool RecordingOwner::WaitUntilHolding(std::chrono::milliseconds timeout) {
    Lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return holding_; });
}

void RecordingOwner::Record(Event event) {
    Lock lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
}

bool RecordingOwner::RecordWait(Kind kind, const std::string& text, std::stop_token stop) {
    Lock lock(mutex_);
    events_.push_back({kind, text});
    changed_.notify_all();
    if (held_ && heldKind_ == kind) {
        held_ = false;
        holding_ = true;
        changed_.notify_all();
        changed_.wait(lock, stop, [&] { return released_; });
        holding_ = false;
    }
    events_.back().stopped = stop.stop_requested();
    return !stop.stop_requested();
}

bool RecordingOwner::HasProgressDisplay() {
    Lock lock(mutex_);
    return progressDisplay_;
}

void RecordingOwner::SetProgressText(const std::string& text) {
    Record({Kind::ProgressText, text});
}

void RecordingOwner::SetProgressRange(std::uint32_t first, std::uint32_t last) {
    Record({Kind::ProgressRange, {}, first, last});
}

void RecordingOwner::SetProgressPosition(std::uint32_t position) {
    Record({Kind::ProgressPosition, {}, position});
}

DeviceState RecordingOwner::LastReportedState() {
    Lock lock(mutex_);
    return state_;
}

void RecordingOwner::StoreState(DeviceState state) {
    {
        Lock lock(mutex_);
        state_ = state;
    }
    Record({Kind::StoreState, {}, static_cast<std::uint32_t>(state)});
}

void RecordingOwner::SetPluginText(const std::string& version) {
    Record({Kind::PluginText, version});
}

void RecordingOwner::SetFirmwareText(const std::string& firmware) {
    Record({Kind::FirmwareText, firmware});
}

void RecordingOwner::PostDeviceState(bool ready) {
    Record({Kind::PostDeviceState, {}, ready ? 1u : 0u});
}

void RecordingOwner::OperationEnded(std::stop_token stop) {
    RecordWait(Kind::OperationEnded, {}, stop);
}

void RecordingOwner::ReadDone(std::stop_token stop) {
    RecordWait(Kind::ReadDone, {}, stop);
}

bool RecordingOwner::AskRetryAccess(const std::string& text, std::stop_token stop) {
    if (!RecordWait(Kind::AskRetryAccess, text, stop)) {
        return false;
    }
    Lock lock(mutex_);
    if (answers_.empty()) {
        return otherwise_;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingOwner::ReportDifference(const std::string& text, std::stop_token stop) {
    RecordWait(Kind::ReportDifference, text, stop);
}

void RecordingOwner::NotifyCompletion(const std::string& text, std::stop_token stop) {
    RecordWait(Kind::NotifyCompletion, text, stop);
}

}  // namespace tessaly::test
