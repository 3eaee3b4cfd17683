// tessaly-cli: the template engine, document and device worker driven from a shell.

#include <cstdio>
#include <iostream>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "cli/Quoted.h"

namespace {

using namespace tessaly;

int Finish(const CliResult& result) {
    if (!result.Message().empty()) {
        std::cerr << "tessaly-cli: " << result.Message() << '\n';
    }
    std::cout.flush();
    return static_cast<int>(result.Status());
}

CliResult Run(const CommandLine& line) {
    const CommandInfo* command = FindCommand(line.command);
    if (command == nullptr) {
        return CliResult::Error("unknown command " + Quoted(line.command) +
                                "; tessaly-cli --help lists them");
    }
    if (line.help) {
        std::cout << CommandHelp(*command);
        return CliResult::Ok();
    }
    if (CliResult usage = CheckUsage(*command, line); !usage) {
        return usage;
    }
    return command->run(line);
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    if (CliResult parsed = ParseCommandLine(argc, argv, line); !parsed) {
        return Finish(parsed);
    }
    if (line.command.empty()) {
        std::cout << OverviewHelp();
        return Finish(CliResult::Ok());
    }
    return Finish(Run(line));
}
