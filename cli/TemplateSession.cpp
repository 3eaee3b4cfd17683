#include "cli/TemplateSession.h"

#include "cli/DesktopMemoryInit.h"
#include "cli/Quoted.h"

namespace tessaly {

TemplateSession::TemplateSession(ConsolePrompt& prompt) : prompt_(prompt), doc_(prompt) {
    // Saving is this class's to do: the document's own save on destruction could neither report a
    // failure nor be left out for --no-save.
    doc_.SetSavesOnClose(false);
}

CliResult TemplateSession::Open(const std::string& path, const std::string& unitName) {
    const CVardelDoc::OpenResult result = doc_.OnOpenDocument(path, DesktopMemoryInit(), nullptr);
    if (result != CVardelDoc::OpenResult::Opened) {
        return LoadFailure(path, result);
    }
    const UnitList& units = *doc_.Units();
    if (units.count == 0) {
        return CliResult::Error("template " + path + " has no units");
    }
    unit_ = unitName.empty() ? units.GetAt(units.GetCurrent()) : units.FindByName(unitName);
    if (unit_ == nullptr) {
        return CliResult::Error("template " + path + " has no unit named " + Quoted(unitName));
    }
    return CliResult::Ok();
}

CliResult TemplateSession::LoadFailure(const std::string& path, CVardelDoc::OpenResult result) const {
    if (result == CVardelDoc::OpenResult::CannotOpen) {
        return CliResult::Error("cannot open template " + path);
    }
    if (prompt_.ShowedAnything()) {
        return CliResult::Error({});
    }
    return CliResult::Error("template " + path + " does not load (error " + std::to_string(doc_.LoadError()) +
                            ")");
}

CliResult TemplateSession::Save() const {
    if (!doc_.SaveCompanionFile()) {
        return CliResult::Error("cannot save the values to " + doc_.CompanionPath());
    }
    return CliResult::Ok();
}

CliResult RunOnTemplateUnsaved(const CommandLine& line, ConsolePrompt& prompt, const TemplateWork& work) {
    TemplateSession session(prompt);
    if (CliResult opened = session.Open(line.templatePath, line.unit); !opened) {
        return opened;
    }
    return work(session);
}

CliResult RunOnTemplate(const CommandLine& line, ConsolePrompt& prompt, const TemplateWork& work) {
    TemplateSession session(prompt);
    if (CliResult opened = session.Open(line.templatePath, line.unit); !opened) {
        return opened;
    }
    CliResult result = work(session);
    if (line.noSave) {
        return result;
    }
    CliResult saved = session.Save();
    return result ? saved : result;
}

}  // namespace tessaly
