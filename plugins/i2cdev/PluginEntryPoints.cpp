// The twelve exported functions of the plug-in: they check what the host hands over, find the session and
// leave the work to it. No exception leaves this file.
#include <cstring>
#include <memory>
#include <optional>

#include "device/PluginInterface.h"
#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionEntryPoints.h"
#include "plugins/common/SessionTable.h"
#include "plugins/i2cdev/AdapterDiscovery.h"
#include "plugins/i2cdev/I2cDevAdapter.h"
#include "plugins/i2cdev/PortList.h"
#include "plugins/i2cdev/PortName.h"
#include "plugins/i2cdev/Session.h"
#include "plugins/i2cdev/SystemPaths.h"

#define TESSALY_EXPORT __attribute__((visibility("default")))

namespace tessaly {
namespace {

constexpr std::int32_t kInvalid = ToInt(PluginStatus::InvalidRequest);

}  // namespace
}  // namespace tessaly

using tessaly::FindAdapters;
using tessaly::Guarded;
using tessaly::I2cDevAdapter;
using tessaly::IsI2cDevPresent;
using tessaly::kInvalid;
using tessaly::ListPorts;
using tessaly::PackNames;
using tessaly::PluginStatus;
using tessaly::PortName;
using tessaly::Session;
using tessaly::Sessions;
using tessaly::SystemPaths;
using tessaly::ToInt;
using EntryPoints = tessaly::SessionEntryPoints<Session>;

extern "C" {

TESSALY_EXPORT int32_t PGM_GetDescription(const char** description) {
    if (description == nullptr) {
        return kInvalid;
    }
    *description = "I2C EEPROMs (24Cxx) on Linux i2c-dev adapters: board computers and USB bridges";
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_GetVersion(const char** version) {
    if (version == nullptr) {
        return kInvalid;
    }
    *version = "Tessaly i2c-dev plug-in " TESSALY_I2CDEV_VERSION;
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    return Guarded<int32_t>(0, [&] {
        const std::vector<std::string> names = ListPorts(FindAdapters(SystemPaths::FromEnvironment()));
        return static_cast<int32_t>(PackNames(names, buffer, size));
    });
}

TESSALY_EXPORT int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    return Guarded<int32_t>(kInvalid, [&] {
        if (code != PGM_GLOBAL_DRIVER_INSTALLED || value == nullptr) {
            // The kernel's modules are the system's to manage, and the adapter sets the bus clock:
            // no driver management and no I/O delay range.
            return kInvalid;
        }
        *value = IsI2cDevPresent(SystemPaths::FromEnvironment()) ? 1 : 0;
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
    return Guarded<uint32_t>(0, [&]() -> uint32_t {
        if (port == nullptr) {
            return 0;
        }
        // Never looks past the longest name plus one byte, terminated or not.
        const std::size_t length = ::strnlen(port, PortName::kMaxLength + 1);
        const std::optional<PortName> name = PortName::Parse(std::string_view(port, length));
        if (!name) {
            return 0;
        }
        auto adapter = std::make_unique<I2cDevAdapter>(SystemPaths::FromEnvironment(), name->adapter);
        return Sessions<Session>().Add(std::make_shared<Session>(*name, std::move(adapter)));
    });
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
