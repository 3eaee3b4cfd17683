#pragma once

#include <string>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"
#include "device/OperationMask.h"
#include "engine/Unit.h"

namespace tessaly {

// What a device request came to, for the production record: "ok", "failed" (the device could not be
// reached), "abandoned" or "difference", and the backup a Program saved (empty for none).
struct DeviceRun {
    std::string result;
    std::string backup;
};

// Runs one Read, Program or Verify on the unit as the desktop's device command does, through the plug-in
// and port of the command line: a device worker is started with the unit's bus mode, its first poll must
// find the chip ready, then the request is handed over and its end awaited; the worker is stopped before
// this returns. The unit's program mask must already follow the enabled flags. A Program backs the chip up
// into the template's backup folder first, unless --no-backup is given.
//
// Errors: no --plugin or --port, or a plug-in that does not load, is an Error; a port that the plug-in
// cannot open (named with the ports it offers), a device that is not ready, an abandoned operation or a
// verify difference is DeviceFailed.
CliResult RunDeviceRequest(const CommandLine& line, Unit& unit, OperationMask operation, DeviceRun& run);

}  // namespace tessaly
