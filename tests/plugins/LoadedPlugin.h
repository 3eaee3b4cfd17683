#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "device/PluginInterface.h"

namespace tessaly::test {

// A built plug-in, loaded as the host loads it, with its twelve entry points. IsLoaded() is false when
// the library or any entry point is missing.
class LoadedPlugin {
    // First, so that it is set before the entry points below are looked up.
    void* library_;

  public:
    explicit LoadedPlugin(const std::filesystem::path& path)
        : library_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedPlugin() {
        if (library_ != nullptr) {
            ::dlclose(library_);
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool IsLoaded() const {
        return library_ != nullptr && PGM_GetDescription && PGM_GetVersion && PGM_EnumeratePorts &&
               PGM_GetGlobalFacility && PGM_GetSessionFacility && PGM_SetSessionFacility && PGM_Attach &&
               PGM_Detach && PGM_GetFirmware && PGM_Reset && PGM_Read && PGM_Write;
    }

    // A session's facility, or with session 0 a global one, from a call expected to end in status.
    std::uint32_t Facility(std::uint32_t session, std::uint32_t code, std::int32_t status = 0) const {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(session == 0 ? PGM_GetGlobalFacility(code, &value)
                               : PGM_GetSessionFacility(session, code, &value),
                  status)
            << code;
        return value;
    }

#define TESSALY_ENTRY(name)  \
    decltype(&::name) name = \
        library_ ? reinterpret_cast<decltype(&::name)>(::dlsym(library_, #name)) : nullptr
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
