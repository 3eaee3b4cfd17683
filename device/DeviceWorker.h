#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "device/BackupFolder.h"
#include "device/DeviceState.h"
#include "device/DeviceWorkerOwner.h"
#include "device/ExecutableDirectory.h"
#include "device/OperationMask.h"
#include "device/ProgrammerPlugin.h"
#include "device/WorkerSettings.h"
#include "engine/Unit.h"

namespace tessaly {

// Longest firmware text the poll asks the plug-in for.
inline constexpr std::uint32_t kFirmwareTextRoom = 64;

// Owns the programmer plug-in in use with its session, and one thread that polls the programmer and the
// chip while nothing is requested (reporting the DeviceState to the owner) and runs the Read, Program and
// Verify requests the owner hands over. Polls follow one another continuously, each lasting at least the
// power-up delay when a chip can be powered; polls that power no chip start at most every 20 ms, and
// without a plug-in the thread only waits for a request or the stop. A request wakes the thread at once.
//
// Threads: every public operation is called from one thread, the owner's (the user-interface thread in
// the desktop); the worker thread reports through DeviceWorkerOwner. The lock serialises the worker
// thread's plug-in calls (a poll, an operation) with SetBusMode. Stop and ApplyIoDelay call the plug-in
// without the lock (Reset must reach a transfer in progress), as the plug-in interface allows.
//
// Stop never deadlocks: it requests the stop before it waits for the thread, and from then on nothing the
// worker waits for needs the owner's thread (owner waits honour the stop token, sleeps end at once, a
// transfer in progress is ended by Reset, and an operation is abandoned at its next chunk).
class DeviceWorker {
  public:
    // No thread, no plug-in, bus mode I2C8, idle.
    DeviceWorker(DeviceWorkerOwner& owner, const WorkerSettings& settings);
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Stops any running thread, loads pluginName from directory, attaches it to port (a failed attach
    // shows up as NoDriver), sends it the stored bus mode and starts the thread. A plug-in that does not
    // load leaves the worker running without one (NoPlugin). True when a thread runs afterwards.
    bool Start(const std::string& pluginName, const std::string& port,
               const std::string& directory = ExecutableDirectory());
    // Ends the thread (see the class comment) and unloads the plug-in. Nothing happens when no thread
    // runs. Always true.
    bool Stop();

    // Stores the BusKind value mode (0 I2C8, 1 I2C16, 2 SPI; anything else is refused with false) and
    // sends it to an open session: 16-bit word addresses on or off, nothing for SPI. True when the plug-in
    // accepted it. Waits for a poll in progress, never for a request: while one is pending or running the
    // mode is sent by the next poll and the result is false. The polls use this mode; a request always
    // runs in its own unit's mode, sent before its first transfer.
    bool SetBusMode(std::uint32_t mode);
    std::uint32_t BusMode() const { return busMode_.load(std::memory_order_acquire); }

    // The settings the thread reads from its next use of each on.
    void UpdateSettings(const WorkerSettings& settings) { settings_.Store(settings); }
    // Sends the delayIO setting to an open session (its status is not looked at); false without one.
    bool ApplyIoDelay();

    // Hands over a request: false, changing nothing, when operation is 0, unit is null or a request is
    // pending or running. The unit's images must stay in place, and unwritten by the owner's thread, until
    // the owner receives OperationEnded. A Program with a backup folder saves the chip's bytes there first.
    bool Request(OperationMask operation, Unit* unit, std::optional<BackupFolder> backup = std::nullopt);
    // A request is pending or running.
    bool IsBusy() const { return !idle_.load(std::memory_order_acquire); }
    bool IsAttached() const { return plugin_ != nullptr && plugin_->IsAttached(); }
    // The plug-in in use, for the driver command; null when none is loaded. Valid until Start or Stop.
    ProgrammerPlugin* Plugin() const { return plugin_.get(); }

  private:
    void Run(std::stop_token stop);
    // Pauses after a round that began at began, until a request or the stop comes at the latest.
    void WaitForNextRound(std::stop_token stop, std::chrono::steady_clock::time_point began);
    void Poll(std::stop_token stop, bool first);
    DeviceState FindState(std::stop_token stop);
    void Report(DeviceState state);
    void RunRequest(std::stop_token stop);
    void ClearRequest();
    void PowerUp(std::stop_token stop);
    void PowerDown();
    BusKind StoredBusMode() const { return static_cast<BusKind>(busMode_.load(std::memory_order_acquire)); }
    // Sends mode to an open session (nothing for SPI); called with the lock held or before the thread runs.
    bool SendBusMode(BusKind mode);

    DeviceWorkerOwner& owner_;
    SharedWorkerSettings settings_;
    // Replaced only while no thread runs, so the worker thread reads it without a lock.
    std::unique_ptr<ProgrammerPlugin> plugin_;
    std::mutex lock_;
    std::atomic<std::uint32_t> busMode_{0};
    // The plug-in may not have the stored mode: SetBusMode found a request running, or a request ran in its
    // unit's mode. The next poll sends the stored mode.
    std::atomic<bool> busModePending_{false};

    // The request hand-over: operation and unit are stored before idle is cleared (release) and read after
    // idle is seen clear (acquire); the worker clears them before it sets idle again.
    std::atomic<bool> idle_{true};
    std::atomic<OperationMask> operation_{0};
    std::atomic<Unit*> unit_{nullptr};
    // Written before idle is cleared and read after it is seen clear, as operation and unit.
    std::optional<BackupFolder> backup_;
    // Wakes the thread from its pause between polls when a request arrives.
    std::mutex wakeMutex_;
    std::condition_variable_any wake_;

    std::jthread thread_;
};

}  // namespace tessaly
