#pragma once

#include <string>
#include <vector>

#include "RecordingOwner.h"
#include "device/DeviceWorker.h"

namespace tessaly::test {

// One run of the program against the chip simulator: a worker on one of the simulator's ports, with the
// plug-in loaded from the executables' directory as the desktop loads it, stopped when the session ends.
class SimulatorSession {
  public:
    SimulatorSession(const std::string& port, const WorkerSettings& settings);

    DeviceState State() { return owner.LastReportedState(); }

    // Hands over one request on the unit, with its bus sent first as the view does; false when the worker
    // refused it.
    bool Request(OperationMask operation, Unit& unit);
    // Waits for the request's end; false when it did not come within a minute.
    bool WaitUntilIdle();
    // Request and WaitUntilIdle.
    bool Run(OperationMask operation, Unit& unit);

    std::vector<std::string> Texts(RecordingOwner::Kind kind) const;

    RecordingOwner owner;
    DeviceWorker worker;
    bool started = false;
    bool reported = false;

  private:
    std::size_t endedBefore_ = 0;
};

}  // namespace tessaly::test
