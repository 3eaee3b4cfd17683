#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "device/DeviceWorkerOwner.h"

namespace tessaly {

// The device worker's owner on a terminal. Nobody is there to answer, so the waits are handled on the
// worker thread itself, at once: a question is printed with the answer the options give, a notice is
// printed. None of them needs the main thread, which therefore only waits for the first poll and for the
// end of its one request.
//
// Output: the progress line, questions and the difference report on standard error (the progress line only
// when standard error is a terminal), the completion notice on standard output.
class ConsoleDeviceOwner : public DeviceWorkerOwner {
  public:
    // answerYes answers the access-error questions; the same question ten times in a row is answered No
    // all the same, so that a chip that never answers ends the run instead of holding it forever.
    ConsoleDeviceOwner(bool answerYes, bool showProgress);

    // Main thread: blocks until the worker's first poll has reported a state, and gives it.
    DeviceState WaitForFirstState();
    // Main thread: blocks until the request handed over has ended (OperationEnded).
    void WaitForOperationEnd();
    // Once the worker is idle again: the operation ran to its end (a Read's ReadDone, or the completion
    // notice of a Program or Verify).
    bool Completed() const;
    // Verify found a difference and reported it.
    bool FoundDifference() const;
    // The backup the Program saved; empty when none was.
    std::string BackupPath() const;

    bool HasProgressDisplay() override { return true; }
    void SetProgressText(const std::string& text) override;
    void SetProgressRange(std::uint32_t first, std::uint32_t last) override;
    void SetProgressPosition(std::uint32_t position) override;
    DeviceState LastReportedState() override;
    void StoreState(DeviceState state) override;
    void SetPluginText(const std::string&) override {}
    void SetFirmwareText(const std::string&) override {}
    void PostDeviceState(bool ready) override;
    void OperationEnded(std::stop_token stop) override;
    void ReadDone(std::stop_token stop) override;
    bool AskRetryAccess(const std::string& text, std::stop_token stop) override;
    // The difference text on standard error, then one line per difference on standard output.
    void ReportDifference(const std::string& text, const std::vector<ItemDifference>& differences,
                          std::stop_token stop) override;
    // Answers as the access-error questions are answered: No unless --yes.
    bool AskProgramWithoutBackup(const std::string& text, std::stop_token stop) override;
    void BackupSaved(const std::string& path) override;
    void NotifyCompletion(const std::string& text, std::stop_token stop) override;

  private:
    void DrawProgress();
    void ClearProgress();
    void MarkCompleted();

    const bool answerYes_;
    const bool showProgress_;

    // Worker thread only: the progress line and the questions asked so far.
    std::string progressText_;
    std::uint32_t progressFirst_ = 0;
    std::uint32_t progressLast_ = 0;
    int progressPercent_ = -1;
    bool progressShown_ = false;
    std::string lastQuestion_;
    int sameQuestions_ = 0;

    // Shared with the main thread.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    DeviceState state_ = DeviceState::NoPlugin;
    bool stateReported_ = false;
    bool operationEnded_ = false;
    bool completed_ = false;
    bool differed_ = false;
    std::string backupPath_;
};

}  // namespace tessaly
