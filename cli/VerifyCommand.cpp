#include "cli/Commands.h"
#include "cli/DeviceRequest.h"
#include "cli/ProductionLog.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"
#include "cli/WrongValue.h"

namespace tessaly {

CliResult RunVerify(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const ListedItems items(unit);
        if (CliResult set = SetUpProgramMask(unit, items, line.disabled); !set) {
            return set;
        }
        if (CliResult values = CheckEnabledValues(unit, items); !values) {
            return values;
        }
        DeviceRun run;
        const CliResult verified = RunDeviceRequest(line, unit, operation::kVerifyCommand, run);
        return LogDeviceRun(line, unit, run, {}, verified);
    });
}

}  // namespace tessaly
