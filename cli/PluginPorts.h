#pragma once

#include <string>
#include <vector>

#include "device/ProgrammerPlugin.h"

namespace tessaly {

// The ports the plug-in offers, in its order; empty when it offers none.
std::vector<std::string> PluginPorts(const ProgrammerPlugin& plugin);

}  // namespace tessaly
