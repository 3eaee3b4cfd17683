#include <algorithm>

#include "cli/Commands.h"
#include "cli/FileText.h"
#include "cli/TemplateSession.h"
#include "document/DataTransfer.h"

namespace tessaly {
namespace {

// The plain bytes go to the image from the unit's first address on. A shorter file leaves the rest of
// the image as it was, like a short record of a data file; a longer one is refused, since its surplus
// would have to be thrown away unseen.
CliResult ImportRaw(Unit& unit, const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return CliResult::Error("cannot read " + path);
    }
    if (bytes.size() > unit.ImageSize()) {
        return CliResult::Error(path + " holds " + std::to_string(bytes.size()) + " bytes, more than the " +
                                std::to_string(unit.ImageSize()) + " of unit " + unit.name);
    }
    std::copy(bytes.begin(), bytes.end(), unit.dataImage);
    return CliResult::Ok();
}

}  // namespace

CliResult RunImport(const CommandLine& line) {
    ConsolePrompt prompt(line.force);
    return RunOnTemplate(line, prompt, [&line, &prompt](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        const std::string& path = line.args[0];
        if (line.raw) {
            return ImportRaw(unit, path);
        }
        if (ImportUnitFromFile(unit, path, prompt)) {
            return CliResult::Ok();
        }
        if (prompt.Declined()) {
            return CliResult::Error(path + " holds another unit's data; --force imports it all the same");
        }
        return CliResult::Error("cannot import " + path + ": not a readable data file");
    });
}

}  // namespace tessaly
