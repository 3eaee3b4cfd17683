#include "cli/DeviceRequest.h"

#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

#include "cli/ConsoleDeviceOwner.h"
#include "cli/PluginLocation.h"
#include "cli/PluginPorts.h"
#include "cli/Quoted.h"
#include "device/DeviceWorker.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

// The worker clears its request just after the completion notices; the main thread looks this often.
constexpr std::chrono::milliseconds kIdleCheck{1};

WorkerSettings CliWorkerSettings(const CommandLine& line) {
    WorkerSettings settings = line.delays;
    // The completion notices are how the command line learns that a Program or Verify succeeded.
    settings.confirmProgram = true;
    settings.confirmVerify = true;
    return settings;
}

std::string OperationName(OperationMask operation) {
    if ((operation & operation::kRead) != 0) {
        return "read";
    }
    if ((operation & operation::kPrepareData) == 0 && (operation & operation::kProgram) != 0) {
        return "restore";
    }
    return (operation & operation::kProgram) != 0 ? "program" : "verify";
}

CliResult CheckOptions(const CommandLine& line) {
    if (line.plugin.empty()) {
        return CliResult::Error("--plugin FILE is needed to reach the device");
    }
    if (line.port.empty()) {
        return CliResult::Error("--port NAME is needed to reach the device");
    }
    return CliResult::Ok();
}

// The port list makes a typing mistake plain, and tells a plug-in without ports from a wrong name.
CliResult PortNotOpened(const CommandLine& line) {
    ProgrammerPlugin plugin;
    if (CliResult loaded = LoadPlugin(line.plugin, plugin); !loaded) {
        return loaded;
    }
    std::string offer;
    for (const std::string& port : PluginPorts(plugin)) {
        offer += offer.empty() ? " offers " : ", ";
        offer += port;
    }
    return CliResult::DeviceFailed("port " + Quoted(line.port) + " could not be opened; " + line.plugin +
                                   (offer.empty() ? " offers no ports" : offer));
}

CliResult Outcome(const ConsoleDeviceOwner& owner, OperationMask operation, const Unit& unit,
                  DeviceRun& run) {
    run.backup = owner.BackupPath();
    if (owner.Completed()) {
        run.result = "ok";
        return CliResult::Ok();
    }
    if (owner.FoundDifference()) {
        run.result = "difference";
        return CliResult::DeviceFailed("verify found a difference in unit " + std::string(unit.name));
    }
    run.result = "abandoned";
    return CliResult::DeviceFailed(OperationName(operation) + " of unit " + unit.name + " was abandoned");
}

std::optional<BackupFolder> BackupFor(const CommandLine& line, OperationMask operation) {
    const bool programs =
        (operation & operation::kPrepareData) != 0 && (operation & operation::kProgram) != 0;
    if (!programs || line.noBackup) {
        return std::nullopt;
    }
    return BackupFolder::ForTemplate(line.templatePath);
}

}  // namespace

CliResult RunDeviceRequest(const CommandLine& line, Unit& unit, OperationMask operation, DeviceRun& run) {
    run.result = "failed";
    if (CliResult options = CheckOptions(line); !options) {
        return options;
    }
    ConsoleDeviceOwner owner(line.yes, isatty(STDERR_FILENO) == 1);
    DeviceWorker worker(owner, CliWorkerSettings(line));
    // Stored now and sent by Start, so that the first poll already speaks the unit's addressing mode.
    worker.SetBusMode(static_cast<std::uint32_t>(unit.bus));
    const PluginLocation plugin = LocatePlugin(line.plugin);
    if (!worker.Start(plugin.fileName, line.port, plugin.directory)) {
        return CliResult::Error("cannot start the device worker");
    }
    if (worker.Plugin() == nullptr) {
        return PluginNotLoaded(line.plugin);
    }
    // A session that did not open shows as "No driver", as the desktop shows it; with the driver there,
    // the port is what is wrong.
    if (!worker.IsAttached() && worker.Plugin()->IsDriverInstalled()) {
        worker.Stop();  // the port list is read with no poll running
        return PortNotOpened(line);
    }
    worker.ApplyIoDelay();
    const DeviceState state = owner.WaitForFirstState();
    if (state != DeviceState::Ready) {
        return CliResult::DeviceFailed("device on port " + line.port +
                                       " is not ready: " + GetMessageText(DeviceStateMessage(state)));
    }
    if (!worker.Request(operation, &unit, BackupFor(line, operation))) {
        return CliResult::DeviceFailed("the device worker refused the " + OperationName(operation));
    }
    owner.WaitForOperationEnd();
    while (worker.IsBusy()) {
        std::this_thread::sleep_for(kIdleCheck);
    }
    return Outcome(owner, operation, unit, run);
}

}  // namespace tessaly
