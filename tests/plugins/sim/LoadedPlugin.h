#pragma once

#include <filesystem>

#include "device/PluginInterface.h"

namespace tessaly::test {

// A plug-in library opened with dlopen, its twelve functions looked up by name as the host does.
// IsLoaded() is false when the library or any function is missing.
class LoadedPlugin {
  public:
    explicit LoadedPlugin(const std::filesystem::path& path);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool IsLoaded() const;

    decltype(&::PGM_GetDescription) GetDescription = nullptr;
    decltype(&::PGM_GetVersion) GetVersion = nullptr;
    decltype(&::PGM_EnumeratePorts) EnumeratePorts = nullptr;
    decltype(&::PGM_GetGlobalFacility) GetGlobalFacility = nullptr;
    decltype(&::PGM_GetSessionFacility) GetSessionFacility = nullptr;
    decltype(&::PGM_SetSessionFacility) SetSessionFacility = nullptr;
    decltype(&::PGM_Attach) Attach = nullptr;
    decltype(&::PGM_Detach) Detach = nullptr;
    decltype(&::PGM_GetFirmware) GetFirmware = nullptr;
    decltype(&::PGM_Reset) Reset = nullptr;
    decltype(&::PGM_Read) Read = nullptr;
    decltype(&::PGM_Write) Write = nullptr;

  private:
    template <typename Function>
    void Find(Function& function, const char* name);

    void* library_ = nullptr;
};

}  // namespace tessaly::test
