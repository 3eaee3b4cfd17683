#pragma once

#include <string>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"
#include "cli/DeviceRequest.h"
#include "engine/Unit.h"

namespace tessaly {

// With --log FILE, appends one CSV line for the device command that ran: time (ISO 8601 with the
// offset), template, unit, plug-in, port, command, result, the --increment item's value before it was
// stepped (counter) and the backup's path. A new file starts with a header line. The line is written by
// one write() on a file opened with O_APPEND, so that stations sharing a folder never tear each other's
// lines. Returns result, or an error when it succeeded but the line could not be written.
CliResult LogDeviceRun(const CommandLine& line, const Unit& unit, const DeviceRun& run,
                       const std::string& counter, CliResult result);

}  // namespace tessaly
