#include "cli/Commands.h"
#include "cli/TemplateSession.h"

namespace tessaly {

// Loading is the check: the document prints its parse report or collision text, nothing more is said.
// Unlike the other commands, check never writes the companion file: a template author checks templates
// in a source tree, where a companion file would be litter.
CliResult RunCheck(const CommandLine& line) {
    ConsolePrompt prompt(false);
    TemplateSession session(prompt);
    return session.Open(line.templatePath, line.unit);
}

}  // namespace tessaly
