#pragma once

#include "cli/CliResult.h"
#include "cli/CommandLine.h"

namespace tessaly {

// The commands, one file each. Each gets a command line whose template, arguments and options the command
// table has already found fitting (CommandTable.h).

// Template authoring.
CliResult RunCheck(const CommandLine& line);
CliResult RunDecode(const CommandLine& line);
CliResult RunEncode(const CommandLine& line);

// Values.
CliResult RunList(const CommandLine& line);
CliResult RunGet(const CommandLine& line);
CliResult RunSet(const CommandLine& line);
CliResult RunDump(const CommandLine& line);
CliResult RunExport(const CommandLine& line);
CliResult RunImport(const CommandLine& line);

// The device, and the plug-ins and ports that reach it.
CliResult RunRead(const CommandLine& line);
CliResult RunProgram(const CommandLine& line);
CliResult RunVerify(const CommandLine& line);
CliResult RunDiff(const CommandLine& line);
CliResult RunBackups(const CommandLine& line);
CliResult RunRestore(const CommandLine& line);
CliResult RunPlugins(const CommandLine& line);
CliResult RunPorts(const CommandLine& line);

}  // namespace tessaly
