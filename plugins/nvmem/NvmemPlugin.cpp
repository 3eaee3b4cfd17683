// The twelve exported functions of the plug-in for memory files that a kernel driver serves: they check
// what the host hands over, find the session and leave the work to it. No exception leaves this file.
#include <cstring>
#include <memory>

#include "device/PluginInterface.h"
#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionEntryPoints.h"
#include "plugins/common/SessionTable.h"
#include "plugins/nvmem/NvmemSession.h"
#include "plugins/nvmem/SysfsPorts.h"

#define TESSALY_EXPORT __attribute__((visibility("default")))

namespace tessaly {
namespace {

constexpr std::int32_t kInvalid = ToInt(PluginStatus::InvalidRequest);

std::uint32_t Attach(const char* port) {
    const std::size_t length = ::strnlen(port, SysfsPorts::kMaxNameLength + 1);
    const std::string name(port, length);
    const auto file = SysfsPorts::FromEnvironment().File(name);
    return file ? Sessions<NvmemSession>().Add(std::make_shared<NvmemSession>(name, *file)) : 0;
}

}  // namespace
}  // namespace tessaly

using tessaly::Guarded;
using tessaly::kInvalid;
using tessaly::PluginStatus;
using tessaly::SysfsPorts;
using tessaly::ToInt;
using EntryPoints = tessaly::SessionEntryPoints<tessaly::NvmemSession>;

extern "C" {

TESSALY_EXPORT int32_t PGM_GetDescription(const char** description) {
    if (description == nullptr) {
        return kInvalid;
    }
    *description = "EEPROMs bound to a Linux kernel driver (at24 and others), through their nvmem files";
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_GetVersion(const char** version) {
    if (version == nullptr) {
        return kInvalid;
    }
    *version = "Tessaly nvmem plug-in " TESSALY_NVMEM_VERSION;
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    return Guarded<int32_t>(0, [&] {
        return static_cast<int32_t>(tessaly::PackNames(SysfsPorts::FromEnvironment().Names(), buffer, size));
    });
}

// The kernel's drivers are the system's to manage, and they set the bus clock: only the driver query.
TESSALY_EXPORT int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    return Guarded<int32_t>(kInvalid, [&] {
        if (code != PGM_GLOBAL_DRIVER_INSTALLED || value == nullptr) {
            return kInvalid;
        }
        *value = SysfsPorts::FromEnvironment().HasDriver() ? 1 : 0;
        return ToInt(PluginStatus::Ok);
    });
}

TESSALY_EXPORT int32_t PGM_GetSessionFacility(uint32_t session, uint32_t code, uint32_t* value) {
    return EntryPoints::GetFacility(session, code, value);
}

TESSALY_EXPORT int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value) {
    return EntryPoints::SetFacility(session, code, value);
}

TESSALY_EXPORT uint32_t PGM_Attach(const char* port) {
    return Guarded<uint32_t>(0, [&] { return port == nullptr ? 0 : tessaly::Attach(port); });
}

TESSALY_EXPORT int32_t PGM_Detach(uint32_t session) {
    return EntryPoints::Detach(session);
}

TESSALY_EXPORT int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length) {
    return EntryPoints::Firmware(session, buffer, length);
}

TESSALY_EXPORT int32_t PGM_Reset(uint32_t session) {
    return EntryPoints::Reset(session);
}

TESSALY_EXPORT int32_t PGM_Read(uint32_t session, uint32_t address, uint8_t* buffer, uint32_t* length) {
    return EntryPoints::Read(session, address, buffer, length);
}

TESSALY_EXPORT int32_t PGM_Write(uint32_t session, uint32_t address, const uint8_t* buffer,
                                 uint32_t* length) {
    return EntryPoints::Write(session, address, buffer, length);
}

}  // extern "C"
