#include <iostream>

#include "cli/Commands.h"
#include "cli/ItemListing.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"

namespace tessaly {

CliResult RunList(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        Unit& work = session.WorkUnit();
        if (CliResult disabled = DisableItems(work, ListedItems(work), line.disabled); !disabled) {
            return disabled;
        }
        std::string out;
        const UnitList& units = session.Units();
        for (std::uint32_t i = 0; i < units.count; ++i) {
            const Unit& unit = *units.GetAt(i);
            if (line.all || &unit == &work) {
                AppendListing(unit, ListedItems(unit), out);
            }
        }
        std::cout << out;
        return CliResult::Ok();
    });
}

}  // namespace tessaly
