#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "RecordingOwner.h"
#include "device/DeviceWorker.h"

namespace tessaly::test {

// A device worker with its recording owner, stopped when the session ends.
class WorkerSession {
  public:
    explicit WorkerSession(const WorkerSettings& settings) : worker(owner, settings) {}

    // Starts the worker on the port (by default on the chip simulator, loaded from the executables'
    // directory as the desktop loads it) and waits for its next report; false when either fails.
    bool Start(const std::string& port, const std::string& plugin = "tessaly-sim.so",
               const std::string& directory = ExecutableDirectory()) {
        const std::size_t reports = owner.Count("PostDeviceState");
        return worker.Start(plugin, port, directory) && owner.WaitFor("PostDeviceState", reports + 1);
    }
    // Hands over a request and waits for its end; false when the worker refused it or took too long.
    bool Run(OperationMask operation, Unit& unit, std::optional<BackupFolder> backup = std::nullopt) {
        const std::size_t ended = owner.Count("OperationEnded");
        return worker.Request(operation, &unit, std::move(backup)) &&
               owner.WaitFor("OperationEnded", ended + 1) && WaitUntilIdle();
    }
    // The worker clears its request after OperationEnded and the notices that follow it.
    bool WaitUntilIdle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (worker.IsBusy() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return !worker.IsBusy();
    }

    RecordingOwner owner;
    DeviceWorker worker;
};

}  // namespace tessaly::test
