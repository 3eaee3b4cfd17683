#include <iostream>
#include <vector>

#include "cli/Commands.h"
#include "cli/HexDump.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"
#include "document/RecordFile.h"
#include "engine/ByteOwners.h"

namespace tessaly {
namespace {

// The image as Program would send it: the derived fields prepared. They are prepared into the image and
// the image is put back afterwards, so that dump leaves the values as they were. DataFile stands for the
// plain hex dump.
std::string PreparedImageDump(Unit& unit, DataFormat format) {
    const std::uint32_t size = unit.ImageSize();
    const std::vector<std::uint8_t> saved(unit.dataImage, unit.dataImage + size);
    unit.PrepareDerivedFields();
    std::string text;
    if (format == DataFormat::DataFile) {
        text = FormatHexDump(unit.start, unit.dataImage, size);
    } else {
        WriteRecordFile(unit, format, text);
    }
    std::copy(saved.begin(), saved.end(), unit.dataImage);
    return text;
}

// The format --format names; DataFile stands for the plain hex dump.
CliResult DumpFormat(const CommandLine& line, DataFormat& format) {
    format = DataFormat::DataFile;
    if (line.format.empty()) {
        return CliResult::Ok();
    }
    if (line.mask) {
        return CliResult::Error("--format prints the image, not --mask");
    }
    if (line.format != "hex" && line.format != "srec") {
        return CliResult::Error("--format takes hex or srec, not " + line.format);
    }
    format = line.format == "hex" ? DataFormat::IntelHex : DataFormat::SRecord;
    return CliResult::Ok();
}

}  // namespace

CliResult RunDump(const CommandLine& line) {
    if (!line.disabled.empty() && !line.mask) {
        return CliResult::Error("--disable changes only the program mask: use it with dump --mask");
    }
    DataFormat format;
    if (CliResult chosen = DumpFormat(line, format); !chosen) {
        return chosen;
    }
    ConsolePrompt prompt(false);
    return RunOnTemplate(line, prompt, [&line, format](TemplateSession& session) {
        Unit& unit = session.WorkUnit();
        if (!line.mask) {
            std::cout << PreparedImageDump(unit, format);
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
