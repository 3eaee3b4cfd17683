#include <string_view>

#include "cli/Commands.h"
#include "cli/TemplateSession.h"
#include "document/DataTransfer.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {
namespace {

CliResult ExportRaw(const Unit& unit, const std::string& path) {
    const std::string_view bytes(reinterpret_cast<const char*>(unit.dataImage), unit.ImageSize());
    if (!WriteFileAtomically(path, bytes)) {
        return CliResult::Error("cannot write " + path);
    }
    return CliResult::Ok();
}

}  // namespace

// The unit's data image as it is: a template data file of one record, or with --raw its plain bytes.
CliResult RunExport(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        const Unit& unit = session.WorkUnit();
        const std::string& path = line.args[0];
        if (line.raw) {
            return ExportRaw(unit, path);
        }
        if (!ExportUnitToFile(unit, path)) {
            return CliResult::Error("cannot write " + path);
        }
        return CliResult::Ok();
    });
}

}  // namespace tessaly
