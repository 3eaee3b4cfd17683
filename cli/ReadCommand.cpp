#include <iostream>

#include "cli/Commands.h"
#include "cli/DeviceRequest.h"
#include "cli/ItemListing.h"
#include "cli/ProductionLog.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"

namespace tessaly {

// The chip's bits of the enabled items go into the image; the unit's items are then listed as list lists
// them, as the desktop shows the refreshed values.
CliResult RunRead(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const ListedItems items(unit);
        if (CliResult set = SetUpProgramMask(unit, items, line.disabled); !set) {
            return set;
        }
        DeviceRun run;
        CliResult read = RunDeviceRequest(line, unit, operation::kReadCommand, run);
        if (read = LogDeviceRun(line, unit, run, {}, read); !read) {
            return read;
        }
        std::string out;
        AppendListing(unit, items, out);
        std::cout << out;
        return CliResult::Ok();
    });
}

}  // namespace tessaly
