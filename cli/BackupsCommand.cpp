#include <iostream>

#include "cli/Commands.h"
#include "cli/TemplateSession.h"
#include "device/BackupFolder.h"

namespace tessaly {

CliResult RunBackups(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplateUnsaved(line, prompt, [&line](TemplateSession& session) {
        for (const auto& path : BackupFolder::ForTemplate(line.templatePath).List(session.WorkUnit().name)) {
            std::cout << path.string() << '\n';
        }
        return CliResult::Ok();
    });
}

}  // namespace tessaly
