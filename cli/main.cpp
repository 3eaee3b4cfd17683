// tessaly-cli: the template engine, document and device worker driven from a shell.

#include <csignal>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/CliResult.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "cli/Quoted.h"

namespace {

using namespace tessaly;

// Output that could not be written (a full disk, a reader that went away) is an error too, unless the
// command already failed.
CliResult CheckOutput(CliResult result) {
    std::cout.flush();
    const bool written = std::fflush(stdout) == 0 && !std::cout.fail() && std::ferror(stdout) == 0;
    return written || !result ? result : CliResult::Error("cannot write to standard output");
}

// Every line of the message gets the program's name, so that each fault reads on its own.
int Finish(const CliResult& result) {
    std::istringstream lines(result.Message());
    for (std::string line; std::getline(lines, line);) {
        std::cerr << "tessaly-cli: " << line << '\n';
    }
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
    // A reader that stops early (| head) must not kill the process before it has saved the values: a
    // write to a closed pipe fails instead, and is reported.
    std::signal(SIGPIPE, SIG_IGN);
    CommandLine line;
    if (CliResult parsed = ParseCommandLine(argc, argv, line); !parsed) {
        return Finish(parsed);
    }
    if (line.version) {
        std::cout << "tessaly-cli " << TESSALY_VERSION << '\n';
        return Finish(CheckOutput(CliResult::Ok()));
    }
    if (line.command.empty()) {
        std::cout << OverviewHelp();
        return Finish(CheckOutput(CliResult::Ok()));
    }
    return Finish(CheckOutput(Run(line)));
}
