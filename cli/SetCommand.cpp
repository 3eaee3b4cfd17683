#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Quoted.h"
#include "cli/TemplateSession.h"
#include "cli/WrongValue.h"

namespace tessaly {
namespace {

struct Assignment {
    ListedItem item;
    std::string value;
};

// NAME=VALUE, split at the first '=': a value may hold '=', a name may not (#N names such an item).
CliResult ReadAssignment(const ListedItems& items, const std::string& argument, Assignment& assignment) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        return CliResult::Error("set takes NAME=VALUE, not " + Quoted(argument));
    }
    assignment.value = argument.substr(equals + 1);
    return items.Find(argument.substr(0, equals), assignment.item);
}

}  // namespace

// All or none: every assignment is looked up and validated before the first value is stored.
CliResult RunSet(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const ListedItems items(unit);
        std::vector<Assignment> assignments(line.args.size());
        for (std::size_t i = 0; i < line.args.size(); ++i) {
            Assignment& assignment = assignments[i];
            if (CliResult read = ReadAssignment(items, line.args[i], assignment); !read) {
                return read;
            }
            const ValueCheck check = unit.ValidateValueText(assignment.item.index, assignment.value);
            if (check != ValueCheck::Valid) {
                return CliResult::Error(DescribeWrongValue(unit, assignment.item, assignment.value, check));
            }
        }
        for (const Assignment& assignment : assignments) {
            unit.SetValueText(assignment.item.index, assignment.value);
        }
        return CliResult::Ok();
    });
}

}  // namespace tessaly
