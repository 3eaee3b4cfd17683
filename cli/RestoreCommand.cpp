#include "cli/Commands.h"
#include "cli/DeviceRequest.h"
#include "cli/FileText.h"
#include "cli/ProductionLog.h"
#include "cli/TemplateSession.h"
#include "device/FullUnitImage.h"

namespace tessaly {
namespace {

CliResult LoadBackup(const std::string& path, const Unit& unit, FullUnitImage& image) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return CliResult::Error("cannot read the backup " + path);
    }
    if (!image.Load({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})) {
        return CliResult::Error("the backup " + path + " holds " + std::to_string(bytes.size()) +
                                " bytes, unit " + unit.name + " has " + std::to_string(unit.ImageSize()));
    }
    return CliResult::Ok();
}

}  // namespace

// Every byte of the backup goes to the unit's range, mask or not, and is verified; the values stay.
CliResult RunRestore(const CommandLine& line) {
    ConsolePrompt prompt(false);
    return RunOnTemplateUnsaved(line, prompt, [&line](TemplateSession& session) {
        const Unit& unit = session.WorkUnit();
        FullUnitImage image(unit);
        if (CliResult loaded = LoadBackup(line.args[0], unit, image); !loaded) {
            return loaded;
        }
        DeviceRun run;
        const CliResult restored = RunDeviceRequest(line, image.Target(), FullUnitImage::kRestore, run);
        return LogDeviceRun(line, unit, run, {}, restored);
    });
}

}  // namespace tessaly
