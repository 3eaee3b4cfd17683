#pragma once

#include <dlfcn.h>

#include <string>

#include "device/PluginInterface.h"

namespace tessaly::test {

// The built plug-in, loaded as the host loads it, with its twelve entry points.
class LoadedPlugin {
    // First, so that it is set before the entry points below are looked up.
    void* library_;

  public:
    explicit LoadedPlugin(const std::string& path)
        : library_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedPlugin() {
        if (library_ != nullptr) {
            ::dlclose(library_);
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool IsLoaded() const { return library_ != nullptr; }

    template <typename Function>
    Function* Get(const char* name) const {
        return reinterpret_cast<Function*>(::dlsym(library_, name));
    }

#define TESSALY_ENTRY(name) decltype(&::name) name = Get<decltype(::name)>(#name)
    TESSALY_ENTRY(PGM_GetDescription);
    TESSALY_ENTRY(PGM_GetVersion);
    TESSALY_ENTRY(PGM_EnumeratePorts);
    TESSALY_ENTRY(PGM_GetGlobalFacility);
    TESSALY_ENTRY(PGM_GetSessionFacility);
    TESSALY_ENTRY(PGM_SetSessionFacility);
    TESSALY_ENTRY(PGM_Attach);
    TESSALY_ENTRY(PGM_Detach);
    TESSALY_ENTRY(PGM_GetFirmware);
    TESSALY_ENTRY(PGM_Reset);
    TESSALY_ENTRY(PGM_Read);
    TESSALY_ENTRY(PGM_Write);
#undef TESSALY_ENTRY
};

}  // namespace tessaly::test
