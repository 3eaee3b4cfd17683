#include <iostream>

#include "cli/Commands.h"
#include "cli/DeviceRequest.h"
#include "cli/DifferenceLines.h"
#include "cli/ProductionLog.h"
#include "cli/TemplateSession.h"
#include "device/FullUnitImage.h"
#include "engine/ItemDifference.h"

namespace tessaly {

// The chip is read into an image of its own, so that neither the values nor the companion file change.
CliResult RunDiff(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplateUnsaved(line, prompt, [&line](TemplateSession& session) {
        const Unit& unit = session.WorkUnit();
        FullUnitImage chip(unit);
        DeviceRun run;
        CliResult result = RunDeviceRequest(line, chip.Target(), operation::kReadCommand, run);
        if (result) {
            const auto differences = ListChangedItems(unit, chip.Bytes().data(), unit.dataImage, line.all);
            std::cout << DifferenceLines(differences);
            if (!differences.empty()) {
                run.result = "difference";
                result = CliResult::DeviceFailed({});
            }
        }
        return LogDeviceRun(line, unit, run, {}, result);
    });
}

}  // namespace tessaly
