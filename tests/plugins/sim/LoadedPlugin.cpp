#include "LoadedPlugin.h"

#include <dlfcn.h>

namespace tessaly::test {

LoadedPlugin::LoadedPlugin(const std::filesystem::path& path)
    : library_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    Find(GetDescription, "PGM_GetDescription");
    Find(GetVersion, "PGM_GetVersion");
    Find(EnumeratePorts, "PGM_EnumeratePorts");
    Find(GetGlobalFacility, "PGM_GetGlobalFacility");
    Find(GetSessionFacility, "PGM_GetSessionFacility");
    Find(SetSessionFacility, "PGM_SetSessionFacility");
    Find(Attach, "PGM_Attach");
    Find(Detach, "PGM_Detach");
    Find(GetFirmware, "PGM_GetFirmware");
    Find(Reset, "PGM_Reset");
    Find(Read, "PGM_Read");
    Find(Write, "PGM_Write");
}

LoadedPlugin::~LoadedPlugin() {
    if (library_ != nullptr) {
        ::dlclose(library_);
    }
}

bool LoadedPlugin::IsLoaded() const {
    return library_ != nullptr && GetDescription && GetVersion && EnumeratePorts && GetGlobalFacility &&
           GetSessionFacility && SetSessionFacility && Attach && Detach && GetFirmware && Reset && Read &&
           Write;
}

template <typename Function>
void LoadedPlugin::Find(Function& function, const char* name) {
    if (library_ != nullptr) {
        function = reinterpret_cast<Function>(::dlsym(library_, name));
    }
}

}  // namespace tessaly::test
