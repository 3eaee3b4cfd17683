#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

#include "plugins/common/PluginStatus.h"
#include "plugins/sim/ChipMemory.h"
#include "plugins/sim/ChipModel.h"
#include "plugins/sim/SimSettings.h"

namespace tessaly {

struct TransferResult {
    PluginStatus status;
    std::uint32_t count;  // bytes transferred; 0 whenever the status is not Ok
};

// One session's programmer with its chip: power, addressing mode, the write cycle, bus timing and the
// faults it was told to fake. All of a session's state lives here.
//
// How the chip behaves:
//  - It answers only while powered; unpowered, absent (nochip) or busy it refuses with NoAcknowledge.
//  - An I2C chip takes exactly as many word-address bytes as it has: transfers fail with AccessError
//    unless the addressing mode is wide for a two-byte chip and narrow for a one-byte one. An SPI chip
//    accepts either, since the host sends no addressing mode for an SPI unit. The mode starts narrow.
//  - A read runs on past the last address to address 0, as the chip's address counter does; its length
//    is cut to the chip's capacity so that no byte is handed back twice.
//  - A write goes into one page: bytes that run past the page's end wrap to its start, as the chip's page
//    buffer does, and a write is cut to the page size. An address-only write (no bytes) stores nothing.
//  - After a write that stored bytes the chip is busy for its write cycle and refuses every transfer.
//  - With a bus clock, a transfer takes its bus time (BusTiming.h) before it has any effect.
//  - An address beyond the chip and a null buffer are refused with InvalidRequest and not counted.
// Transfers of one chip run one after another; Reset may come from any thread at any time.
class SimChip {
  public:
    SimChip(const ChipModel& model, std::unique_ptr<ChipMemory> memory, const SimSettings& settings);

    const ChipModel& Model() const { return model_; }

    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t length);
    TransferResult Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length);

    void SetPower(bool on);
    void SetWideAddressing(bool wide);

    bool IsIdentified() const;
    bool IsPlugged() const;
    // Only a powered chip can answer.
    bool IsChipPresent() const;

    // Ends a transfer that is running or waiting to run (Cancelled, nothing transferred). Power,
    // addressing mode and memory stay; a write cycle that has begun runs on, as it does in the chip.
    void Reset();

  private:
    using Clock = std::chrono::steady_clock;

    bool IsPluggedLocked() const;
    // Counts the transfer and decides whether the chip takes part in it.
    PluginStatus Admit(bool fakedFailure, std::uint64_t resetsSeen);
    // Lets the bus time pass in short slices; false when a reset came meanwhile.
    bool Spend(std::chrono::microseconds time, std::uint64_t resetsSeen) const;
    bool ReadWrapped(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count);
    bool WriteInPage(std::uint32_t address, const std::uint8_t* data, std::uint32_t count);

    const ChipModel& model_;
    const std::unique_ptr<ChipMemory> memory_;
    const std::chrono::microseconds writeCycle_;
    const std::uint32_t busKhz_;
    const FaultPlan faults_;

    mutable std::mutex mutex_;
    bool powered_ = false;
    bool wideAddressing_ = false;
    Clock::time_point busyUntil_{};
    std::uint64_t reads_ = 0;
    std::uint64_t writes_ = 0;
    std::uint64_t transfers_ = 0;

    // Counts resets; a transfer ends when it changes while the transfer runs.
    std::atomic<std::uint64_t> resets_{0};
};

}  // namespace tessaly
