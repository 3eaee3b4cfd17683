#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/ExecutableDirectory.h"
#include "device/ProgrammerPlugin.h"
#include "text/Prompt.h"

namespace tessaly {

// The host's operations without object state: finding plug-ins, reading the list lines and port lists, and
// the driver install/uninstall dialogue.

// Lists the programmer plug-ins of a directory into list, one line "file->description\n" each, sorted by
// file name, and returns how many it listed. Every "*.so" file is loaded for a moment; one that does not
// load, lacks an entry point or hands out no description is left out. An empty directory name or a
// directory without plug-ins gives an empty list and 0.
int EnumeratePlugins(std::string& list, const std::string& directory = ExecutableDirectory());

// The plug-in file name in a list line, as it stands: leading white space dropped, up to and including the
// first ".so" (in any case) found after the first character; empty when there is none.
std::string ExtractPluginFileName(std::string_view line);

// The names of a port list as ProgrammerPlugin::EnumeratePorts gives it: each ends at a zero byte or at the
// end of the list; empty names are skipped.
std::vector<std::string> SplitPortList(std::string_view ports);

// Offers to install the plug-in's driver, or to uninstall it when it is installed, and does it on Yes; a
// failure is shown. Nothing happens without a plug-in or when the plug-in cannot manage its driver.
void ManageDriver(const ProgrammerPlugin* plugin, Prompt& prompt);

}  // namespace tessaly
