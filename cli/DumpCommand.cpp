#include <iostream>
#include <vector>

#include "cli/Commands.h"
#include "cli/HexDump.h"
#include "cli/ProgramMask.h"
#include "cli/TemplateSession.h"
#include "document/RecordFile.h"

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

CliResult DumpFormat(const CommandLine& line, DataFormat& format) {
    if (line.format.empty() || line.format == "hex" || line.format == "srec") {
        format = line.format.empty()    ? DataFormat::DataFile
                 : line.format == "hex" ? DataFormat::IntelHex
                                        : DataFormat::SRecord;
        return line.mask && !line.format.empty() ? CliResult::Error("--format prints the image, not --mask")
                                                 : CliResult::Ok();
    }
    return CliResult::Error("--format takes hex or srec, not " + line.format);
}

}  // namespace

CliResult RunDump(const CommandLine& line) {
    if (!line.disabled.empty() && !line.mask) {
        return CliResult::Error("--disable changes only the program mask: use it with dump --mask");
    }
    DataFormat format = DataFormat::DataFile;
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
        if (CliResult set = SetUpProgramMask(unit, ListedItems(unit), line.disabled); !set) {
            return set;
        }
        std::cout << FormatHexDump(unit.start, unit.programMask, unit.ImageSize());
        return CliResult::Ok();
    });
}

}  // namespace tessaly
