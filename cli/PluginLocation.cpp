#include "cli/PluginLocation.h"

#include <filesystem>

namespace tessaly {

PluginLocation LocatePlugin(const std::string& plugin) {
    if (plugin.find('/') == std::string::npos) {
        return {ExecutableDirectory(), plugin};
    }
    const std::filesystem::path path(plugin);
    return {path.parent_path().string() + "/", path.filename().string()};
}

CliResult LoadPlugin(const std::string& plugin, ProgrammerPlugin& loaded) {
    const PluginLocation location = LocatePlugin(plugin);
    return loaded.Load(location.fileName, location.directory) ? CliResult::Ok() : PluginNotLoaded(plugin);
}

CliResult PluginNotLoaded(const std::string& plugin) {
    return CliResult::Error("cannot load the plug-in " + plugin);
}

}  // namespace tessaly
