#include "cli/Commands.h"
#include "cli/DeviceRequest.h"
#include "cli/NumberIncrement.h"
#include "cli/ProductionLog.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"
#include "cli/WrongValue.h"

namespace tessaly {

// With --increment the counter goes up by one only after the program and its verify succeeded, and is
// saved with the other values, so that the next run programs the next number.
CliResult RunProgram(const CommandLine& line) {
    const bool counts = !line.increment.empty();
    if (counts && line.noSave) {
        return CliResult::Error("--increment saves the next number, so it cannot go with --no-save");
    }
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line, counts](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const ListedItems items(unit);
        ListedItem counter;
        if (counts) {
            if (CliResult found = FindCounter(unit, items, line.increment, counter); !found) {
                return found;
            }
        }
        if (CliResult set = SetUpProgramMask(unit, items, line.disabled); !set) {
            return set;
        }
        if (CliResult values = CheckEnabledValues(unit, items); !values) {
            return values;
        }
        std::string counterBefore;
        if (counts) {
            unit.GetValueText(counter.index, counterBefore);
        }
        DeviceRun run;
        CliResult programmed = RunDeviceRequest(line, unit, operation::kProgramCommand, run);
        programmed = LogDeviceRun(line, unit, run, counterBefore, programmed);
        if (!programmed) {
            return programmed;
        }
        return counts ? IncrementNumber(unit, counter) : CliResult::Ok();
    });
}

}  // namespace tessaly
