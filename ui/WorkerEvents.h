#pragma once

#include <string>
#include <vector>

#include "engine/ItemDifference.h"

namespace tessaly {

// What the main frame does for the device worker, always on the user-interface thread. WorkerOwnerBridge
// turns the worker's calls into these.
class WorkerEvents {
  public:
    virtual ~WorkerEvents() = default;

    // A new device state was stored; ready when it is DeviceState::Ready.
    virtual void DeviceStateChanged(bool ready) = 0;
    // The progress values changed; WorkerOwnerBridge::Progress has the latest.
    virtual void ProgressChanged() = 0;

    // The worker waits until these have returned (or until it is asked to stop).
    virtual void OperationEnded() = 0;
    virtual void ReadDone() = 0;
    virtual bool AskRetryAccess(const std::string& text) = 0;
    virtual void ReportDifference(const std::string& text,
                                  const std::vector<ItemDifference>& differences) = 0;
    virtual bool AskProgramWithoutBackup(const std::string& text) = 0;
    virtual void NotifyCompletion(const std::string& text) = 0;
};

}  // namespace tessaly
