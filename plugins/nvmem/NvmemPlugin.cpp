// The twelve exported functions of the plug-in for memory files that a kernel driver serves: they check
// what the host hands over, find the session and leave the work to it. No exception leaves this file.
#include <cstring>
#include <memory>

#include "device/PluginInterface.h"
#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionTable.h"
#include "plugins/nvmem/NvmemSession.h"
#include "plugins/nvmem/SysfsPorts.h"

#define TESSALY_EXPORT __attribute__((visibility("default")))

namespace tessaly {
namespace {

constexpr std::int32_t kInvalid = ToInt(PluginStatus::InvalidRequest);

SessionTable<NvmemSession>& Files() {
    return Sessions<NvmemSession>();
}

// Checks what PGM_Read or PGM_Write is handed (a session, a length, a buffer unless the length is 0), then
// runs transfer on the session.
template <typename Byte, typename Transfer>
std::int32_t RunTransfer(std::uint32_t handle, Byte* buffer, std::uint32_t* length, Transfer&& transfer) {
    if (length == nullptr) {
        return kInvalid;
    }
    const std::uint32_t wanted = *length;
    *length = 0;
    const std::shared_ptr<NvmemSession> session = Files().Find(handle);
    if (session == nullptr || (buffer == nullptr && wanted != 0)) {
        return kInvalid;
    }
    return ToInt(transfer(*session, std::span<Byte>(buffer, wanted), *length));
}

std::uint32_t Attach(const char* port) {
    const std::size_t length = ::strnlen(port, SysfsPorts::kMaxNameLength + 1);
    const std::string name(port, length);
    const auto file = SysfsPorts::FromEnvironment().File(name);
    return file ? Files().Add(std::make_shared<NvmemSession>(name, *file)) : 0;
}

}  // namespace
}  // namespace tessaly

using tessaly::Files;
using tessaly::Guarded;
using tessaly::kInvalid;
using tessaly::NvmemSession;
using tessaly::PluginStatus;
using tessaly::RunTransfer;
using tessaly::SysfsPorts;
using tessaly::ToInt;

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
    return Guarded<int32_t>(kInvalid, [&] {
        const std::shared_ptr<NvmemSession> found = Files().Find(session);
        return found == nullptr || value == nullptr ? kInvalid : ToInt(found->GetFacility(code, *value));
    });
}

TESSALY_EXPORT int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value) {
    return Guarded<int32_t>(kInvalid, [&] {
        const std::shared_ptr<NvmemSession> found = Files().Find(session);
        return found == nullptr ? kInvalid : ToInt(found->SetFacility(code, value));
    });
}

TESSALY_EXPORT uint32_t PGM_Attach(const char* port) {
    return Guarded<uint32_t>(0, [&] { return port == nullptr ? 0 : tessaly::Attach(port); });
}

TESSALY_EXPORT int32_t PGM_Detach(uint32_t session) {
    return Guarded<int32_t>(kInvalid,
                            [&] { return Files().Remove(session) ? ToInt(PluginStatus::Ok) : kInvalid; });
}

TESSALY_EXPORT int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length) {
    return Guarded<int32_t>(kInvalid, [&] {
        if (length == nullptr) {
            return kInvalid;
        }
        const std::uint32_t size = *length;
        *length = 0;
        const std::shared_ptr<NvmemSession> found = Files().Find(session);
        if (found == nullptr || buffer == nullptr) {
            return kInvalid;
        }
        return ToInt(tessaly::CopyText(found->FirmwareText(), std::span<char>(buffer, size), *length));
    });
}

TESSALY_EXPORT int32_t PGM_Reset(uint32_t session) {
    return Guarded<int32_t>(kInvalid,
                            [&] { return Files().Find(session) ? ToInt(PluginStatus::Ok) : kInvalid; });
}

TESSALY_EXPORT int32_t PGM_Read(uint32_t session, uint32_t address, uint8_t* buffer, uint32_t* length) {
    return Guarded<int32_t>(kInvalid, [&] {
        return RunTransfer(session, buffer, length,
                           [&](NvmemSession& found, std::span<uint8_t> bytes, uint32_t& done) {
                               return found.Read(address, bytes, done);
                           });
    });
}

TESSALY_EXPORT int32_t PGM_Write(uint32_t session, uint32_t address, const uint8_t* buffer,
                                 uint32_t* length) {
    return Guarded<int32_t>(kInvalid, [&] {
        return RunTransfer(session, buffer, length,
                           [&](NvmemSession& found, std::span<const uint8_t> bytes, uint32_t& done) {
                               return found.Write(address, bytes, done);
                           });
    });
}

}  // extern "C"
