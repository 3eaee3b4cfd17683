#include <iostream>
#include <vector>

#include "cli/Commands.h"
#include "cli/HexDump.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"
#include "engine/ByteOwners.h"

namespace tessaly {
namespace {

// The image as Program would send it: the derived fields prepared. They are prepared into the image and
// the image is put back afterwards, so that dump leaves the values as they were.
std::string PreparedImageDump(Unit& unit) {
    const std::uint32_t size = unit.ImageSize();
    const std::vector<std::uint8_t> saved(unit.dataImage, unit.dataImage + size);
    unit.PrepareDerivedFields();
    std::string text = FormatHexDump(unit.start, unit.dataImage, size);
    std::copy(saved.begin(), saved.end(), unit.dataImage);
    return text;
}

}  // namespace

CliResult RunDump(const CommandLine& line) {
    if (!line.disabled.empty() && !line.mask) {
        return CliResult::Error("--disable changes only the program mask: use it with dump --mask");
    }
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        if (!line.mask) {
            std::cout << PreparedImageDump(unit);
            return CliResult::Ok();
        }
        if (CliResult disabled = DisableItems(unit, ListedItems(unit), line.disabled); !disabled) {
            return disabled;
        }
        const std::vector<std::uint8_t> mask = ByteOwners(unit).ProgramMask();
        std::cout << FormatHexDump(unit.start, mask.data(), unit.ImageSize());
        return CliResult::Ok();
    });
}

}  // namespace tessaly
