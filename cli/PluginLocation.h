#pragma once

#include <string>

#include "cli/CliResult.h"
#include "device/ProgrammerPlugin.h"

namespace tessaly {

// Where --plugin points: a bare file name is looked for beside the executable, as the desktop looks for
// plug-ins; a name with a directory in it is taken as a path.
struct PluginLocation {
    std::string directory;
    std::string fileName;
};

PluginLocation LocatePlugin(const std::string& plugin);

// Loads the plug-in that --plugin names into loaded; PluginNotLoaded when it does not load.
CliResult LoadPlugin(const std::string& plugin, ProgrammerPlugin& loaded);
CliResult PluginNotLoaded(const std::string& plugin);

}  // namespace tessaly
