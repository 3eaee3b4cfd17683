#include "device/ProgrammerPlugin.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace tessaly {
namespace {

// The names Load looks up, in the order of ProgrammerPlugin::EntryPoints.
constexpr std::array<const char*, 12> kEntryNames = {
    "PGM_GetDescription",
    "PGM_GetVersion",
    "PGM_EnumeratePorts",
    "PGM_GetGlobalFacility",
    "PGM_GetSessionFacility",
    "PGM_SetSessionFacility",
    "PGM_Attach",
    "PGM_Detach",
    "PGM_GetFirmware",
    "PGM_Reset",
    "PGM_Read",
    "PGM_Write",
};

std::string CopyPluginText(const char* text) {
    return std::string(text, strnlen(text, kPluginTextLimit));
}

template <typename Function>
bool Resolve(void* library, const char* name, Function& entry) {
    entry = reinterpret_cast<Function>(dlsym(library, name));
    return entry != nullptr;
}

}  // namespace

ProgrammerPlugin::~ProgrammerPlugin() {
    Unload();
}

bool ProgrammerPlugin::Load(const std::string& fileName, const std::string& directory) {
    Unload();
    if (IsLoaded() || fileName.empty() || directory.empty()) {
        return false;
    }
    library_ = dlopen(JoinPath(directory, fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        return false;
    }
    if (!ResolveEntryPoints()) {
        entries_ = {};
        dlclose(library_);
        library_ = nullptr;
        return false;
    }
    return true;
}

bool ProgrammerPlugin::ResolveEntryPoints() {
    // Walks the names in table order and stops at the first one missing.
    return Resolve(library_, kEntryNames[0], entries_.getDescription) &&
           Resolve(library_, kEntryNames[1], entries_.getVersion) &&
           Resolve(library_, kEntryNames[2], entries_.enumeratePorts) &&
           Resolve(library_, kEntryNames[3], entries_.getGlobalFacility) &&
           Resolve(library_, kEntryNames[4], entries_.getSessionFacility) &&
           Resolve(library_, kEntryNames[5], entries_.setSessionFacility) &&
           Resolve(library_, kEntryNames[6], entries_.attach) &&
           Resolve(library_, kEntryNames[7], entries_.detach) &&
           Resolve(library_, kEntryNames[8], entries_.getFirmware) &&
           Resolve(library_, kEntryNames[9], entries_.reset) &&
           Resolve(library_, kEntryNames[10], entries_.read) &&
           Resolve(library_, kEntryNames[11], entries_.write);
}

PluginStatus ProgrammerPlugin::Unload() {
    if (!IsLoaded()) {
        return kPluginOk;
    }
    if (IsAttached()) {
        const PluginStatus status = Detach();
        if (status != kPluginOk) {
            return status;
        }
    }
    entries_ = {};
    dlclose(library_);
    library_ = nullptr;
    return kPluginOk;
}

PluginStatus ProgrammerPlugin::Attach(const std::string& port) {
    if (!IsLoaded()) {
        return kPluginNotReady;
    }
    if (IsAttached()) {
        return kPluginNoSession;
    }
    const std::uint32_t session = entries_.attach(port.c_str());
    if (session == 0) {
        return kPluginNoSession;
    }
    session_ = session;
    return Reset();
}

PluginStatus ProgrammerPlugin::Detach() {
    if (!IsAttached()) {
        return kPluginNotReady;
    }
    const PluginStatus status = MapPluginStatus(entries_.detach(session_));
    if (status == kPluginOk) {
        session_ = 0;
    }
    return status;
}

PluginStatus ProgrammerPlugin::Reset() {
    if (!IsAttached()) {
        return kPluginNotReady;
    }
    return MapPluginStatus(entries_.reset(session_));
}

bool ProgrammerPlugin::GetDescription(std::string& text) const {
    text.clear();
    if (!IsLoaded()) {
        return false;
    }
    const char* description = nullptr;
    entries_.getDescription(&description);
    if (description == nullptr) {
        return false;
    }
    // The description becomes one line of the plug-in list, so a line break must not split it.
    text = CopyPluginText(description);
    text.resize(std::min(text.size(), text.find_first_of("\r\n")));
    return true;
}

PluginStatus ProgrammerPlugin::GetVersion(std::string& text) const {
    if (!IsLoaded()) {
        return kPluginNotReady;
    }
    const char* version = nullptr;
    const PluginStatus status = MapPluginStatus(entries_.getVersion(&version));
    if (status == kPluginOk && version != nullptr) {
        text = CopyPluginText(version);
    }
    return status;
}

std::int32_t ProgrammerPlugin::EnumeratePorts(std::string& ports, std::uint32_t size) const {
    ports.clear();
    if (!IsLoaded()) {
        return -1;
    }
    std::vector<char> buffer(size, '\0');
    const std::int32_t count = entries_.enumeratePorts(buffer.data(), size);
    if (count <= 0) {
        return count;
    }
    const std::uint32_t used = std::min(static_cast<std::uint32_t>(count), size);
    ports.assign(buffer.data(), used);
    return static_cast<std::int32_t>(used);
}

PluginStatus ProgrammerPlugin::GetFirmware(std::string& text, std::uint32_t size) const {
    text.clear();
    if (!IsAttached()) {
        return kPluginNotReady;
    }
    std::vector<char> buffer(size, '\0');
    std::uint32_t length = size;
    const PluginStatus status = MapPluginStatus(entries_.getFirmware(session_, buffer.data(), &length));
    if (status == kPluginOk) {
        const std::size_t within = std::min(length, size);
        text.assign(buffer.data(), strnlen(buffer.data(), within));
    }
    return status;
}

PluginStatus ProgrammerPlugin::GetGlobalFacility(std::uint32_t code, std::uint32_t* value) const {
    if (value != nullptr) {
        *value = 0;
    }
    if (!IsLoaded()) {
        return kPluginNotReady;
    }
    return MapPluginStatus(entries_.getGlobalFacility(code, value));
}

PluginStatus ProgrammerPlugin::GetSessionFacility(std::uint32_t code, std::uint32_t& value) const {
    value = 0;
    if (!IsAttached()) {
        return kPluginNotReady;
    }
    return MapPluginStatus(entries_.getSessionFacility(session_, code, &value));
}

PluginStatus ProgrammerPlugin::SetSessionFacility(std::uint32_t code, std::uint32_t value) const {
    if (!IsAttached()) {
        return kPluginNotReady;
    }
    return MapPluginStatus(entries_.setSessionFacility(session_, code, value));
}

bool ProgrammerPlugin::AskGlobal(std::uint32_t code) const {
    return GetGlobalFacility(code, nullptr) == kPluginOk;
}

bool ProgrammerPlugin::AskGlobalValue(std::uint32_t code) const {
    std::uint32_t value = 0;
    return GetGlobalFacility(code, &value) == kPluginOk && value != 0;
}

bool ProgrammerPlugin::AskSessionValue(std::uint32_t code) const {
    std::uint32_t value = 0;
    return GetSessionFacility(code, value) == kPluginOk && value != 0;
}

bool ProgrammerPlugin::IsDriverInstalled() const {
    return AskGlobalValue(PGM_GLOBAL_DRIVER_INSTALLED);
}

bool ProgrammerPlugin::CanManageDriver() const {
    return AskGlobal(PGM_GLOBAL_CAN_MANAGE_DRIVER);
}

PluginStatus ProgrammerPlugin::InstallDriver() const {
    return GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr);
}

PluginStatus ProgrammerPlugin::UninstallDriver() const {
    return GetGlobalFacility(PGM_GLOBAL_UNINSTALL_DRIVER, nullptr);
}

bool ProgrammerPlugin::HasIoDelayRange() const {
    return AskGlobal(PGM_GLOBAL_IO_DELAY_RANGE);
}

PluginStatus ProgrammerPlugin::GetIoDelayMin(std::uint32_t& value) const {
    return GetGlobalFacility(PGM_GLOBAL_IO_DELAY_MIN, &value);
}

PluginStatus ProgrammerPlugin::GetIoDelayMax(std::uint32_t& value) const {
    return GetGlobalFacility(PGM_GLOBAL_IO_DELAY_MAX, &value);
}

bool ProgrammerPlugin::IsHardwareIdentified() const {
    return AskSessionValue(PGM_SESSION_HARDWARE_IDENTIFIED);
}

bool ProgrammerPlugin::IsHardwarePlugged() const {
    return AskSessionValue(PGM_SESSION_HARDWARE_PLUGGED);
}

bool ProgrammerPlugin::IsChipPresent() const {
    return AskSessionValue(PGM_SESSION_CHIP_PRESENT);
}

PluginStatus ProgrammerPlugin::GetBlockSize(std::uint32_t& value) const {
    return GetSessionFacility(PGM_SESSION_BLOCK_SIZE, value);
}

PluginStatus ProgrammerPlugin::SetPower(bool on) const {
    return SetSessionFacility(PGM_SESSION_POWER, on ? 1 : 0);
}

PluginStatus ProgrammerPlugin::SetWideAddressing(bool wide) const {
    return SetSessionFacility(PGM_SESSION_WIDE_ADDRESSING, wide ? 1 : 0);
}

PluginStatus ProgrammerPlugin::SetIoDelay(std::int32_t delay) const {
    return SetSessionFacility(PGM_SESSION_IO_DELAY, static_cast<std::uint32_t>(delay));
}

PluginStatus ProgrammerPlugin::Read(std::uint32_t address, std::uint8_t* buffer,
                                    std::uint32_t& length) const {
    const std::uint32_t asked = length;
    if (!IsAttached()) {
        length = 0;
        return kPluginNotReady;
    }
    const PluginStatus status = MapPluginStatus(entries_.read(session_, address, buffer, &length));
    length = std::min(length, asked);
    return status;
}

PluginStatus ProgrammerPlugin::Write(std::uint32_t address, const std::uint8_t* buffer,
                                     std::uint32_t& length) const {
    const std::uint32_t asked = length;
    if (!IsAttached()) {
        length = 0;
        return kPluginNotReady;
    }
    const PluginStatus status = MapPluginStatus(entries_.write(session_, address, buffer, &length));
    length = std::min(length, asked);
    return status;
}

}  // namespace tessaly
