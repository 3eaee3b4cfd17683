// The twelve exported functions of the CH341A plug-in: they check what the host hands over, find the
// session and leave the work to it. No exception leaves this file.
#include <cstring>
#include <memory>

#include "device/PluginInterface.h"
#include "plugins/ch341a/Ch341Port.h"
#include "plugins/ch341a/Ch341Session.h"
#include "plugins/ch341a/LibusbBus.h"
#include "plugins/ch341a/UdevRule.h"
#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionEntryPoints.h"
#include "plugins/common/SessionTable.h"

#define TESSALY_EXPORT __attribute__((visibility("default")))

namespace tessaly {
namespace {

constexpr std::int32_t kInvalid = ToInt(PluginStatus::InvalidRequest);

std::vector<UsbLocation> AttachedProgrammers() {
    const std::shared_ptr<LibusbBus> bus = LibusbBus::Create();
    return bus == nullptr ? std::vector<UsbLocation>{} : bus->Programmers();
}

// The driver counts as missing while a programmer is attached that the user may not open.
bool IsDriverInstalled() {
    const std::shared_ptr<LibusbBus> bus = LibusbBus::Create();
    return bus == nullptr || !bus->HasForbiddenProgrammer();
}

std::int32_t GlobalFacility(std::uint32_t code, std::uint32_t* value) {
    switch (code) {
        case PGM_GLOBAL_DRIVER_INSTALLED:
            if (value == nullptr) {
                return kInvalid;
            }
            *value = IsDriverInstalled() ? 1 : 0;
            return ToInt(PluginStatus::Ok);
        case PGM_GLOBAL_CAN_MANAGE_DRIVER:
            return UdevRule::CanInstall() ? ToInt(PluginStatus::Ok) : kInvalid;
        case PGM_GLOBAL_INSTALL_DRIVER:
            return UdevRule::Install() ? ToInt(PluginStatus::Ok) : ToInt(PluginStatus::HardwareError);
        case PGM_GLOBAL_UNINSTALL_DRIVER:
            return UdevRule::Uninstall() ? ToInt(PluginStatus::Ok) : ToInt(PluginStatus::HardwareError);
        default:
            return kInvalid;
    }
}

std::uint32_t Attach(const char* text) {
    const std::size_t length = ::strnlen(text, Ch341Port::kMaxLength + 1);
    const std::optional<Ch341Port> port =
        length > Ch341Port::kMaxLength ? std::nullopt : Ch341Port::Parse(std::string_view(text, length));
    if (!port) {
        return 0;
    }
    std::shared_ptr<LibusbBus> bus = LibusbBus::Create();
    return bus == nullptr
               ? 0
               : Sessions<Ch341Session>().Add(std::make_shared<Ch341Session>(*port, std::move(bus)));
}

}  // namespace
}  // namespace tessaly

using tessaly::Guarded;
using tessaly::kInvalid;
using tessaly::PluginStatus;
using tessaly::ToInt;
using EntryPoints = tessaly::SessionEntryPoints<tessaly::Ch341Session>;

extern "C" {

TESSALY_EXPORT int32_t PGM_GetDescription(const char** description) {
    if (description == nullptr) {
        return kInvalid;
    }
    *description = "CH341A USB programmer: 24Cxx EEPROMs on I2C and 25xx EEPROMs on SPI";
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_GetVersion(const char** version) {
    if (version == nullptr) {
        return kInvalid;
    }
    *version = "Tessaly CH341A plug-in " TESSALY_CH341A_VERSION;
    return ToInt(PluginStatus::Ok);
}

TESSALY_EXPORT int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    return Guarded<int32_t>(0, [&] {
        const auto names = tessaly::Ch341Port::List(tessaly::AttachedProgrammers());
        return static_cast<int32_t>(tessaly::PackNames(names, buffer, size));
    });
}

TESSALY_EXPORT int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    return Guarded<int32_t>(kInvalid, [&] { return tessaly::GlobalFacility(code, value); });
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
    return EntryPoints::DetachEndingTransfer(session);
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
