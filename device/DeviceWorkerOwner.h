#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "device/DeviceState.h"
#include "engine/ItemDifference.h"

namespace tessaly {

// What the device worker asks of whoever owns it: the main frame in the desktop, the command line, a test.
//
// Threads. Every call comes from the worker thread, never from the thread that calls the worker's own
// operations (Start, Stop, Request, SetBusMode: the owner's thread, the user-interface thread in the
// desktop). The owner's thread reads what the worker stored (state, texts, progress) whenever it likes, so
// an implementation guards its copies with a lock of its own or passes them on as queued messages.
//
// Two kinds of call, and the worker relies on the difference:
//
// - Hand-overs (progress, state, texts, PostDeviceState, BackupSaved) return at once. They must never wait
// for the
//   owner's thread: that thread may itself be waiting for the worker (in Stop for the thread to end, in
//   SetBusMode for the lock), and the worker calls them while holding its lock.
//
// - Waits (OperationEnded, ReadDone, AskRetryAccess, ReportDifference, AskProgramWithoutBackup,
//   NotifyCompletion) return only when
//   the owner's thread has handled them: the frame has removed the progress display, refreshed the view,
//   the user has answered. Each gets the worker's stop token. Stop requests the stop before it waits for
//   the thread, and from then on the owner's thread can no longer serve a wait, so once
//   stop.stop_requested() is true a wait must return promptly without the owner's thread: a question
//   answers No, a notice may be dropped or left queued. A blocking implementation waits with
//   std::condition_variable_any::wait(lock, stop, predicate) or wakes itself with a std::stop_callback.
//   An operation's questions come while the worker holds its lock; SetBusMode does not wait for that lock
//   while a request is pending or running, so the owner's thread stays free to answer them.
class DeviceWorkerOwner {
  public:
    virtual ~DeviceWorkerOwner() = default;

    // Progress display (hand-overs). The worker starts an operation only when HasProgressDisplay says the
    // display is complete (bar and text); the calls that follow move it.
    virtual bool HasProgressDisplay() = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    // The bar runs over device addresses first..last; a position may be last + 1 when a step ends.
    virtual void SetProgressRange(std::uint32_t first, std::uint32_t last) = 0;
    virtual void SetProgressPosition(std::uint32_t position) = 0;

    // Device state (hand-overs). The worker compares each poll's state with LastReportedState and, when it
    // changed (or on the first poll of a thread), hands over the plug-in's version text, the firmware
    // text (both possibly empty), the state, and then PostDeviceState.
    virtual DeviceState LastReportedState() = 0;
    virtual void StoreState(DeviceState state) = 0;
    virtual void SetPluginText(const std::string& version) = 0;
    virtual void SetFirmwareText(const std::string& firmware) = 0;
    // A new state was stored; ready is true when it is DeviceState::Ready. The frame enables or disables
    // its device commands.
    virtual void PostDeviceState(bool ready) = 0;

    // Waits. An operation has ended, successfully or not: the progress display goes. Sent after every
    // request that was accepted, also one dropped for want of a session or a progress display.
    virtual void OperationEnded(std::stop_token stop) = 0;
    // A Read ran to its end: the unit's image holds what the chip has, and the view shows it again.
    virtual void ReadDone(std::stop_token stop) = 0;
    // A transfer failed or came back short: a Yes/No question with the question icon and the application's
    // title as caption. True (Yes) tries again, false (No) abandons the operation.
    virtual bool AskRetryAccess(const std::string& text, std::stop_token stop) = 0;
    // Verify found a difference: a box with the stop icon and an OK button, and under the text every item
    // (or unowned byte) that differs. The operation is abandoned.
    virtual void ReportDifference(const std::string& text, const std::vector<ItemDifference>& differences,
                                  std::stop_token stop) = 0;
    // The chip's backup could not be saved: a Yes/No question, No the default. True (Yes) programs without
    // a backup, false (No) abandons the operation before anything is written.
    virtual bool AskProgramWithoutBackup(const std::string& text, std::stop_token stop) = 0;
    // Hand-over: the chip's bytes were saved to path before the first write.
    virtual void BackupSaved(const std::string& path) = 0;
    // An operation succeeded: a box with the information icon and an OK button, brought to the foreground.
    virtual void NotifyCompletion(const std::string& text, std::stop_token stop) = 0;
};

}  // namespace tessaly
