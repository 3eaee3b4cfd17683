#include <iostream>

#include "cli/Commands.h"
#include "cli/TemplateSession.h"

namespace tessaly {
namespace {

// A CRC entry with an algorithm Tessaly does not know loads as a placeholder that computes nothing, which
// leaves a typo silently unchecked; check points each one out.
void WarnUnknownCrcAlgorithms(const UnitList& units) {
    for (std::uint32_t u = 0; u < units.count; ++u) {
        const Unit& unit = *units.GetAt(u);
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            const TemplateItem& item = *unit.items[i];
            if (item.kind == ItemKind::Crc && item.RecordAs<CrcRecord>().unknownAlgorithm != nullptr) {
                std::cerr << "tessaly-cli: warning: unit " << unit.name << ", CRC item "
                          << (item.name != nullptr ? item.name : "") << ": unknown algorithm "
                          << item.RecordAs<CrcRecord>().unknownAlgorithm << "; it computes nothing\n";
            }
        }
    }
}

}  // namespace

// Loading is the check: the document prints its parse report or collision text. A template that loads
// may still draw warnings, which do not change the exit status.
// Unlike the other commands, check never writes the companion file: a template author checks templates
// in a source tree, where a companion file would be litter.
CliResult RunCheck(const CommandLine& line) {
    ConsolePrompt prompt(false);
    TemplateSession session(prompt);
    CliResult result = session.Open(line.templatePath, line.unit);
    if (result) {
        WarnUnknownCrcAlgorithms(session.Units());
    }
    return result;
}

}  // namespace tessaly
