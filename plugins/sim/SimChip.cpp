#include "plugins/sim/SimChip.h"

#include <algorithm>
#include <span>
#include <thread>

#include "plugins/sim/BusTiming.h"

namespace tessaly {

namespace {

// Long enough not to burn a core, short enough that a reset ends a transfer without a noticeable wait.
constexpr std::chrono::microseconds kSleepSlice{1000};

}  // namespace

SimChip::SimChip(const ChipModel& model, std::unique_ptr<ChipMemory> memory, const SimSettings& settings)
    : model_(model),
      memory_(std::move(memory)),
      writeCycle_(settings.writeCycle),
      busKhz_(settings.busKhz),
      faults_(settings.faults) {}

TransferResult SimChip::Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t length) {
    const std::uint64_t resetsSeen = resets_.load();
    std::lock_guard lock(mutex_);
    if (buffer == nullptr || address >= model_.capacity) {
        return {PluginStatus::InvalidRequest, 0};
    }
    const std::uint64_t call = ++reads_;
    if (const PluginStatus admitted = Admit(faults_.FailsRead(call), resetsSeen);
        admitted != PluginStatus::Ok) {
        return {admitted, 0};
    }
    const std::uint32_t count = std::min({length, model_.capacity, faults_.ShortRead(call).value_or(length)});
    if (!Spend(TransferTime(model_, count, busKhz_), resetsSeen)) {
        return {PluginStatus::Cancelled, 0};
    }
    if (!ReadWrapped(address, buffer, count)) {
        return {PluginStatus::HardwareError, 0};
    }
    return {PluginStatus::Ok, count};
}

TransferResult SimChip::Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
    const std::uint64_t resetsSeen = resets_.load();
    std::lock_guard lock(mutex_);
    if (data == nullptr || address >= model_.capacity) {
        return {PluginStatus::InvalidRequest, 0};
    }
    const std::uint64_t call = ++writes_;
    if (const PluginStatus admitted = Admit(faults_.FailsWrite(call), resetsSeen);
        admitted != PluginStatus::Ok) {
        return {admitted, 0};
    }
    const std::uint32_t count = std::min(length, model_.pageSize);
    if (!Spend(TransferTime(model_, count, busKhz_), resetsSeen)) {
        return {PluginStatus::Cancelled, 0};
    }
    if (count == 0) {
        return {PluginStatus::Ok, 0};
    }
    if (!WriteInPage(address, data, count)) {
        return {PluginStatus::HardwareError, 0};
    }
    busyUntil_ = Clock::now() + writeCycle_;
    return {PluginStatus::Ok, count};
}

void SimChip::SetPower(bool on) {
    std::lock_guard lock(mutex_);
    powered_ = on;
}

void SimChip::SetWideAddressing(bool wide) {
    std::lock_guard lock(mutex_);
    wideAddressing_ = wide;
}

bool SimChip::IsIdentified() const {
    return !faults_.NoId();
}

bool SimChip::IsPlugged() const {
    std::lock_guard lock(mutex_);
    return IsPluggedLocked();
}

bool SimChip::IsChipPresent() const {
    std::lock_guard lock(mutex_);
    return powered_ && !faults_.NoChip() && IsPluggedLocked();
}

void SimChip::Reset() {
    resets_.fetch_add(1);
}

bool SimChip::IsPluggedLocked() const {
    return !faults_.IsUnplugged(transfers_);
}

PluginStatus SimChip::Admit(bool fakedFailure, std::uint64_t resetsSeen) {
    const bool plugged = IsPluggedLocked();
    ++transfers_;
    if (!plugged) {
        return PluginStatus::HardwareError;
    }
    const bool answers = powered_ && !faults_.NoChip() && !fakedFailure && Clock::now() >= busyUntil_;
    if (answers && model_.AnswersTo(wideAddressing_)) {
        return PluginStatus::Ok;
    }
    if (!Spend(RefusedTransferTime(model_, busKhz_), resetsSeen)) {
        return PluginStatus::Cancelled;
    }
    return answers ? PluginStatus::HardwareError : PluginStatus::NoAnswer;
}

bool SimChip::Spend(std::chrono::microseconds time, std::uint64_t resetsSeen) const {
    const Clock::time_point end = Clock::now() + time;
    for (Clock::time_point now = Clock::now(); now < end && resets_.load() == resetsSeen;
         now = Clock::now()) {
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kSleepSlice));
    }
    return resets_.load() == resetsSeen;
}

bool SimChip::ReadWrapped(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count) {
    const std::uint32_t first = std::min(count, model_.capacity - address);
    return memory_->Read(address, std::span{buffer, first}) &&
           memory_->Read(0, std::span{buffer + first, count - first});
}

bool SimChip::WriteInPage(std::uint32_t address, const std::uint8_t* data, std::uint32_t count) {
    const std::uint32_t pageStart = address - address % model_.pageSize;
    const std::uint32_t first = std::min(count, pageStart + model_.pageSize - address);
    return memory_->Write(address, std::span{data, first}) &&
           memory_->Write(pageStart, std::span{data + first, count - first});
}

}  // namespace tessaly
