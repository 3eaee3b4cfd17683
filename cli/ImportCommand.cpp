#include "cli/Commands.h"
#include "cli/TemplateSession.h"
#include "document/DataTransfer.h"

namespace tessaly {
namespace {

CliResult ImportDataFile(Unit& unit, const std::string& path, ConsolePrompt& prompt) {
    if (ImportUnitFromFile(unit, path, DataFormat::DataFile, prompt)) {
        return CliResult::Ok();
    }
    if (prompt.Declined()) {
        return CliResult::Error(path + " holds another unit's data; --force imports it all the same");
    }
    return CliResult::Error("cannot import " + path + ": not a readable data file");
}

}  // namespace

// The format follows the file's name, or is the plain bytes with --raw.
CliResult RunImport(const CommandLine& line) {
    ConsolePrompt prompt(line.force);
    return RunOnTemplate(line, prompt, [&line, &prompt](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const std::string& path = line.args[0];
        const DataFormat format = line.raw ? DataFormat::RawBinary : DataFormatOfPath(path);
        if (format == DataFormat::DataFile) {
            return ImportDataFile(unit, path, prompt);
        }
        const RecordFileResult result = ImportRecordFile(unit, path, format);
        return result ? CliResult::Ok() : CliResult::Error(DescribeRecordFileError(result, unit, path));
    });
}

}  // namespace tessaly
