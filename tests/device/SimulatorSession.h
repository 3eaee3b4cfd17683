#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "RecordingOwner.h"
#include "device/DeviceWorker.h"

namespace tessaly::test {

// One run of the program against the chip simulator: a worker on one of the simulator's ports, with the
// plug-in loaded from the executables' directory as the desktop loads it, stopped when the session ends.
class SimulatorSession {
  public:
    SimulatorSession(const std::string& port, const WorkerSettings& settings) : worker(owner, settings) {
        started = worker.Start("tessaly-sim.so", port) && owner.WaitFor("PostDeviceState");
    }

    // Hands over one request on the unit, with its bus sent first as the view does, and waits for the
    // worker to be idle again; false when it refused the request or took too long.
    bool Run(OperationMask operation, Unit& unit) {
        worker.SetBusMode(static_cast<std::uint32_t>(unit.bus));
        if (!worker.Request(operation, &unit)) {
            return false;
        }
        // The worker clears its request after OperationEnded and the notices that follow it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (worker.IsBusy() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return !worker.IsBusy();
    }

    RecordingOwner owner;
    DeviceWorker worker;
    bool started = false;
};

}  // namespace tessaly::test
