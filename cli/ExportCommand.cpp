#include "cli/Commands.h"
#include "cli/TemplateSession.h"
#include "document/DataTransfer.h"

namespace tessaly {

// The unit's data image as it is, in the format the file's name gives: a template data file of one record,
// Intel HEX, S-record or the plain bytes (also with --raw).
CliResult RunExport(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        const std::string& path = line.args[0];
        const DataFormat format = line.raw ? DataFormat::RawBinary : DataFormatOfPath(path);
        if (!ExportUnitToFile(session.WorkUnit(), path, format)) {
            return CliResult::Error("cannot write " + path);
        }
        return CliResult::Ok();
    });
}

}  // namespace tessaly
