#include "device/DeviceWorker.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "device/DeviceOperation.h"
#include "device/SleepUnlessStopped.h"
#include "engine/ModelTypes.h"

namespace tessaly {
namespace {

using Clock = std::chrono::steady_clock;

// The pause between two polls: short, so that the programmer is polled all the time, paced by the
// plug-in calls and the power-up delay rather than by this pause.
constexpr std::chrono::milliseconds kPollPause{1};
// A poll that powers no chip (no driver, no hardware, or a power-up delay of 0) lasts only as long as a
// few plug-in calls, and a wake-up every millisecond alone costs a few percent of a core. Such polls are
// spaced to this period instead: still far quicker than anyone plugs in a programmer or a chip. Polls
// that last longer (the power-up delay, 200 ms by default) follow one another after kPollPause as before.
constexpr std::chrono::milliseconds kShortestPollPeriod{20};

}  // namespace

DeviceWorker::DeviceWorker(DeviceWorkerOwner& owner, const WorkerSettings& settings)
    : owner_(owner), settings_(settings) {}

DeviceWorker::~DeviceWorker() {
    Stop();
}

bool DeviceWorker::Start(const std::string& pluginName, const std::string& port,
                         const std::string& directory) {
    Stop();
    auto plugin = std::make_unique<ProgrammerPlugin>();
    if (plugin->Load(pluginName, directory)) {
        plugin->Attach(port);
        plugin_ = std::move(plugin);
        SendBusMode(StoredBusMode());
    }
    busModePending_.store(false, std::memory_order_release);
    ClearRequest();
    try {
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    } catch (const std::system_error&) {
        // The system could not start a thread: report it as the value Start returns.
        plugin_.reset();
        return false;
    }
    return true;
}

bool DeviceWorker::Stop() {
    if (!thread_.joinable()) {
        return true;
    }
    thread_.request_stop();
    if (plugin_ != nullptr) {
        // Without the lock: the worker may hold it for a transfer that only this reset ends.
        plugin_->Reset();
    }
    thread_.join();
    plugin_.reset();
    return true;
}

bool DeviceWorker::SetBusMode(std::uint32_t mode) {
    if (mode > static_cast<std::uint32_t>(BusKind::SPI)) {
        return false;
    }
    busMode_.store(mode, std::memory_order_release);
    // A running operation may be waiting for this thread to answer a question while it holds the lock, so
    // the mode is left to the next poll instead of waiting for the lock.
    if (IsBusy()) {
        busModePending_.store(true, std::memory_order_release);
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    return SendBusMode(StoredBusMode());
}

bool DeviceWorker::SendBusMode(BusKind mode) {
    if (mode == BusKind::SPI || !IsAttached()) {
        return false;
    }
    return plugin_->SetWideAddressing(mode == BusKind::I2C16) == kPluginOk;
}

bool DeviceWorker::ApplyIoDelay() {
    if (!IsAttached()) {
        return false;
    }
    plugin_->SetIoDelay(settings_.Load().delayIO);
    return true;
}

bool DeviceWorker::Request(OperationMask operation, Unit* unit, std::optional<BackupFolder> backup) {
    if (operation == 0 || unit == nullptr || IsBusy()) {
        return false;
    }
    backup_ = std::move(backup);
    operation_.store(operation, std::memory_order_relaxed);
    unit_.store(unit, std::memory_order_relaxed);
    {
        // Under the wake mutex, so that the thread cannot miss the notification between its check and its
        // wait.
        std::lock_guard<std::mutex> lock(wakeMutex_);
        idle_.store(false, std::memory_order_release);
    }
    wake_.notify_one();
    return true;
}

void DeviceWorker::ClearRequest() {
    operation_.store(0, std::memory_order_relaxed);
    unit_.store(nullptr, std::memory_order_relaxed);
    idle_.store(true, std::memory_order_release);
}

void DeviceWorker::Run(std::stop_token stop) {
    bool first = true;
    while (!stop.stop_requested()) {
        const Clock::time_point began = Clock::now();
        if (idle_.load(std::memory_order_acquire)) {
            Poll(stop, first);
            first = false;
        } else {
            RunRequest(stop);
        }
        WaitForNextRound(stop, began);
    }
}

void DeviceWorker::WaitForNextRound(std::stop_token stop, std::chrono::steady_clock::time_point began) {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    const auto requested = [this] { return !idle_.load(std::memory_order_acquire); };
    if (plugin_ == nullptr) {
        // Without a plug-in no poll can find anything new until Start replaces the thread, so the thread
        // sleeps until a request or the stop comes instead of waking every millisecond.
        wake_.wait(lock, stop, requested);
    } else {
        wake_.wait_until(lock, stop, std::max(Clock::now() + kPollPause, began + kShortestPollPeriod),
                         requested);
    }
}

void DeviceWorker::Poll(std::stop_token stop, bool first) {
    std::lock_guard<std::mutex> lock(lock_);
    if (busModePending_.exchange(false, std::memory_order_acq_rel)) {
        SendBusMode(StoredBusMode());
    }
    const DeviceState state = FindState(stop);
    if (first || state != owner_.LastReportedState()) {
        Report(state);
    }
}

DeviceState DeviceWorker::FindState(std::stop_token stop) {
    if (plugin_ == nullptr || !plugin_->IsLoaded()) {
        return DeviceState::NoPlugin;
    }
    if (!plugin_->IsDriverInstalled() || !plugin_->IsAttached()) {
        return DeviceState::NoDriver;
    }
    if (!plugin_->IsHardwareIdentified()) {
        return DeviceState::HardwareUndefined;
    }
    if (!plugin_->IsHardwarePlugged()) {
        return DeviceState::HardwareUnplugged;
    }
    PowerUp(stop);
    const bool present = plugin_->IsChipPresent();
    PowerDown();
    return present ? DeviceState::Ready : DeviceState::NoChip;
}

void DeviceWorker::Report(DeviceState state) {
    std::string version;
    if (plugin_ != nullptr) {
        plugin_->GetVersion(version);
    }
    std::string firmware;
    // From HardwareUndefined on a session is open.
    if (state != DeviceState::NoPlugin && state != DeviceState::NoDriver) {
        plugin_->GetFirmware(firmware, kFirmwareTextRoom);
    }
    owner_.SetPluginText(version);
    owner_.SetFirmwareText(firmware);
    owner_.StoreState(state);
    owner_.PostDeviceState(state == DeviceState::Ready);
}

void DeviceWorker::RunRequest(std::stop_token stop) {
    const OperationMask operation = operation_.load(std::memory_order_relaxed);
    Unit& unit = *unit_.load(std::memory_order_relaxed);
    if (!owner_.HasProgressDisplay() || !IsAttached()) {
        ClearRequest();
        owner_.OperationEnded(stop);
        return;
    }
    const WorkerSettings settings = settings_.Load();
    bool completed = false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        // The mode SetBusMode stored for this unit may still wait for a poll, and the request can come
        // before that poll: the unit's own mode is sent before its first transfer.
        SendBusMode(unit.bus);
        PowerUp(stop);
        completed = DeviceOperation(*plugin_, owner_, settings, stop)
                        .Run(operation, unit, backup_ ? &*backup_ : nullptr);
        PowerDown();
    }
    if (unit.bus != StoredBusMode()) {
        busModePending_.store(true, std::memory_order_release);
    }
    owner_.OperationEnded(stop);
    if (completed) {
        if ((operation & operation::kRead) != 0) {
            owner_.ReadDone(stop);
        }
        ShowCompletionNotices(operation, settings, owner_, stop);
    }
    ClearRequest();
}

void DeviceWorker::PowerUp(std::stop_token stop) {
    if (plugin_->SetPower(true) == kPluginOk) {
        SleepUnlessStopped(stop, std::chrono::milliseconds(settings_.Load().delayPowerUp));
    }
}

void DeviceWorker::PowerDown() {
    plugin_->SetPower(false);
}

}  // namespace tessaly
