#include <iostream>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListedItems.h"
#include "cli/TemplateSession.h"

namespace tessaly {

// Every name is looked up before anything is printed, so a wrong name prints no values at all.
CliResult RunGet(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        const Unit& unit = session.WorkUnit();
        const ListedItems items(unit);
        std::vector<ListedItem> found(line.args.size());
        for (std::size_t i = 0; i < line.args.size(); ++i) {
            if (CliResult result = items.Find(line.args[i], found[i]); !result) {
                return result;
            }
        }
        std::string out;
        for (const ListedItem& item : found) {
            std::string value;
            unit.GetValueText(item.index, value);
            out += value + '\n';
        }
        std::cout << out;
        return CliResult::Ok();
    });
}

}  // namespace tessaly
