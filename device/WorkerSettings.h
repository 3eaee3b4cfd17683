#pragma once

#include <atomic>
#include <cstdint>

namespace tessaly {

// The settings the device worker and its operations use, in the units of the settings record.
struct WorkerSettings {
    std::int32_t delayIO = 1;         // I/O delay factor handed to the plug-in session
    std::int32_t delayPowerUp = 200;  // ms to wait after switching the chip's power on
    std::int32_t pulsePGM = 20;       // ms during which the write of one block is repeated
    std::int32_t pulseFix = 200;      // ms of rest after the program step
    bool confirmProgram = true;       // notice after a successful Program
    bool confirmVerify = true;        // notice after a successful Verify
};

// The worker's copy of the settings: written by the owner's thread between requests, read by the worker
// thread. Each field is one atomic 32-bit value, so a reader sees every field either before or after a
// change, never torn; a snapshot may mix old and new fields, which no reader depends on.
class SharedWorkerSettings {
  public:
    explicit SharedWorkerSettings(const WorkerSettings& settings) { Store(settings); }

    void Store(const WorkerSettings& settings) {
        delayIO_.store(settings.delayIO, std::memory_order_release);
        delayPowerUp_.store(settings.delayPowerUp, std::memory_order_release);
        pulsePGM_.store(settings.pulsePGM, std::memory_order_release);
        pulseFix_.store(settings.pulseFix, std::memory_order_release);
        confirmProgram_.store(settings.confirmProgram ? 1 : 0, std::memory_order_release);
        confirmVerify_.store(settings.confirmVerify ? 1 : 0, std::memory_order_release);
    }

    WorkerSettings Load() const {
        return {delayIO_.load(std::memory_order_acquire),
                delayPowerUp_.load(std::memory_order_acquire),
                pulsePGM_.load(std::memory_order_acquire),
                pulseFix_.load(std::memory_order_acquire),
                confirmProgram_.load(std::memory_order_acquire) != 0,
                confirmVerify_.load(std::memory_order_acquire) != 0};
    }

  private:
    std::atomic<std::int32_t> delayIO_;
    std::atomic<std::int32_t> delayPowerUp_;
    std::atomic<std::int32_t> pulsePGM_;
    std::atomic<std::int32_t> pulseFix_;
    std::atomic<std::int32_t> confirmProgram_;
    std::atomic<std::int32_t> confirmVerify_;
};

}  // namespace tessaly
