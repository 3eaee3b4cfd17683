#pragma once

#include <functional>
#include <string>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompt.h"
#include "document/CVardelDoc.h"

namespace tessaly {

// A template opened for one command as the desktop opens it (parse, images, collision check, values from
// the companion file), with the unit the command works on.
//
// The unit is chosen for this run only: the companion file goes on naming the unit it named, so that
// --unit in one command does not change the default of the next.
class TemplateSession {
  public:
    // The document's load reports (parse report, collision text) go to prompt.
    explicit TemplateSession(ConsolePrompt& prompt);

    // Opens path and chooses the unit named unitName, or with an empty name the unit the companion file
    // names, else the first. An error whose message is empty has been printed by the prompt.
    CliResult Open(const std::string& path, const std::string& unitName);

    Unit& WorkUnit() const { return *unit_; }
    const UnitList& Units() const { return *doc_.Units(); }

    // Writes every unit's values to the companion file as the desktop does on closing.
    CliResult Save() const;

  private:
    CliResult LoadFailure(const std::string& path, CVardelDoc::OpenResult result) const;

    ConsolePrompt& prompt_;
    CVardelDoc doc_;
    Unit* unit_ = nullptr;
};

using TemplateWork = std::function<CliResult(TemplateSession&)>;

// Opens the command line's template, runs work on it and, unless --no-save was given, saves the values
// whatever work came to, as the desktop saves them when it closes. The first failure is the result.
CliResult RunOnTemplate(const CommandLine& line, ConsolePrompt& prompt, const TemplateWork& work);
// The same for commands that leave the values alone: the companion file is never written.
CliResult RunOnTemplateUnsaved(const CommandLine& line, ConsolePrompt& prompt, const TemplateWork& work);

}  // namespace tessaly
