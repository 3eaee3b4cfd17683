#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "cli/PluginLocation.h"
#include "cli/PluginPorts.h"

namespace tessaly {

// The names --port takes, one a line.
CliResult RunPorts(const CommandLine& line) {
    if (line.plugin.empty()) {
        return CliResult::Error("ports needs --plugin FILE");
    }
    ProgrammerPlugin plugin;
    if (CliResult loaded = LoadPlugin(line.plugin, plugin); !loaded) {
        return loaded;
    }
    std::string out;
    for (const std::string& port : PluginPorts(plugin)) {
        out.append(port).append(1, '\n');
    }
    std::cout << out;
    return CliResult::Ok();
}

}  // namespace tessaly
