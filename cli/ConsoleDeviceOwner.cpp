#include "cli/ConsoleDeviceOwner.h"

#include <algorithm>
#include <cstdio>

#include "cli/ConsolePrompt.h"
#include "cli/DifferenceLines.h"

namespace tessaly {
namespace {

constexpr int kMostSameQuestions = 10;

void PrintLine(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace

ConsoleDeviceOwner::ConsoleDeviceOwner(bool answerYes, bool showProgress)
    : answerYes_(answerYes), showProgress_(showProgress) {}

DeviceState ConsoleDeviceOwner::WaitForFirstState() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stateReported_; });
    return state_;
}

void ConsoleDeviceOwner::WaitForOperationEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return operationEnded_; });
}

bool ConsoleDeviceOwner::Completed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return completed_;
}

bool ConsoleDeviceOwner::FoundDifference() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return differed_;
}

void ConsoleDeviceOwner::SetProgressText(const std::string& text) {
    progressText_ = text;
    progressPercent_ = -1;
}

void ConsoleDeviceOwner::SetProgressRange(std::uint32_t first, std::uint32_t last) {
    progressFirst_ = first;
    progressLast_ = std::max(first, last);
}

void ConsoleDeviceOwner::SetProgressPosition(std::uint32_t position) {
    const std::uint64_t span = std::uint64_t{progressLast_} - progressFirst_ + 1;
    const std::uint64_t done = position > progressFirst_ ? position - progressFirst_ : 0;
    const int percent = static_cast<int>(std::min<std::uint64_t>(done * 100 / span, 100));
    if (percent != progressPercent_) {
        progressPercent_ = percent;
        DrawProgress();
    }
}

void ConsoleDeviceOwner::DrawProgress() {
    if (!showProgress_) {
        return;
    }
    std::fprintf(stderr, "\r%-16s %3d%%", progressText_.c_str(), progressPercent_);
    std::fflush(stderr);
    progressShown_ = true;
}

void ConsoleDeviceOwner::ClearProgress() {
    if (progressShown_) {
        std::fprintf(stderr, "\r%*s\r", 24, "");
        std::fflush(stderr);
        progressShown_ = false;
    }
}

DeviceState ConsoleDeviceOwner::LastReportedState() {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

void ConsoleDeviceOwner::StoreState(DeviceState state) {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = state;
}

void ConsoleDeviceOwner::PostDeviceState(bool) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stateReported_ = true;
    }
    changed_.notify_all();
}

void ConsoleDeviceOwner::OperationEnded(std::stop_token) {
    ClearProgress();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        operationEnded_ = true;
    }
    changed_.notify_all();
}

void ConsoleDeviceOwner::ReadDone(std::stop_token) {
    MarkCompleted();
}

bool ConsoleDeviceOwner::AskRetryAccess(const std::string& text, std::stop_token stop) {
    ClearProgress();
    sameQuestions_ = text == lastQuestion_ ? sameQuestions_ + 1 : 1;
    lastQuestion_ = text;
    const bool yes = answerYes_ && sameQuestions_ <= kMostSameQuestions && !stop.stop_requested();
    PrintLine(stderr, text);
    PrintLine(stderr, AnswerLine(yes));
    return yes;
}

void ConsoleDeviceOwner::ReportDifference(const std::string& text,
                                          const std::vector<ItemDifference>& differences, std::stop_token) {
    ClearProgress();
    PrintLine(stderr, text);
    std::fputs(DifferenceLines(differences).c_str(), stdout);
    std::fflush(stdout);
    std::lock_guard<std::mutex> lock(mutex_);
    differed_ = true;
}

bool ConsoleDeviceOwner::AskProgramWithoutBackup(const std::string& text, std::stop_token stop) {
    ClearProgress();
    const bool yes = answerYes_ && !stop.stop_requested();
    PrintLine(stderr, text);
    PrintLine(stderr, AnswerLine(yes));
    return yes;
}

void ConsoleDeviceOwner::BackupSaved(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    backupPath_ = path;
}

std::string ConsoleDeviceOwner::BackupPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return backupPath_;
}

void ConsoleDeviceOwner::NotifyCompletion(const std::string& text, std::stop_token) {
    PrintLine(stdout, text);
    MarkCompleted();
}

void ConsoleDeviceOwner::MarkCompleted() {
    std::lock_guard<std::mutex> lock(mutex_);
    completed_ = true;
}

}  // namespace tessaly
