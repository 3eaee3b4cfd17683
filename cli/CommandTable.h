#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"

namespace tessaly {

using CommandFunction = CliResult (*)(const CommandLine&);

// One command: how it is called, what its help says, which options of its own it takes, whether it works
// on a TEMPLATE and how many arguments follow that.
struct CommandInfo {
    std::string_view name;
    std::string_view synopsis;  // what follows the command's name
    std::string_view summary;   // one line for the overview
    std::string_view details;   // the rest of the command's --help
    std::uint32_t ownOptions;   // OwnOption bits
    bool takesTemplate;
    std::size_t leastArguments;
    std::size_t mostArguments;
    CommandFunction run;
};

inline constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

// Null for a name that is no command.
const CommandInfo* FindCommand(std::string_view name);

// The overview that tessaly-cli --help prints, and a command's own help.
std::string OverviewHelp();
std::string CommandHelp(const CommandInfo& command);

// Whether the line fits the command: TEMPLATE given when it takes one (nothing else positional when not),
// the number of arguments, only own options it takes.
CliResult CheckUsage(const CommandInfo& command, const CommandLine& line);

}  // namespace tessaly
