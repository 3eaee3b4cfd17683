#pragma once

#include <cstdint>
#include <string>

#include "device/ExecutableDirectory.h"
#include "device/PluginInterface.h"
#include "device/PluginStatus.h"

namespace tessaly {

// Longest text the host copies from a pointer that a plug-in hands out (description, version). The text
// behind such a pointer has no known size, so the copy stops here even when no terminator comes.
inline constexpr std::size_t kPluginTextLimit = 1024;

// One loaded programmer plug-in with at most one open session, and one wrapper per PGM_ entry point.
//
// Life cycle: created (nothing loaded) -> Load -> loaded -> Attach -> attached -> Detach -> loaded ->
// Unload or destruction. Load on a loaded object unloads first.
//
// The host never trusts the plug-in: every status goes through MapPluginStatus; out values and text
// pointers are set to 0 before each call; a length handed back larger than the one asked for is taken as
// the one asked for; texts are copied at once and only within their buffer (kPluginTextLimit for texts
// behind a plug-in's own pointer). Apart from Load, Unload and the two state tests, every wrapper checks
// the state first and answers kPluginNotReady (EnumeratePorts: -1) instead of calling a missing entry
// point or a closed session.
//
// Threads: the wrappers hold no lock. Load, Unload, Attach and Detach change the object and must not run
// while another thread uses it; every other wrapper only reads the object, so two threads may call them at
// once (the device worker transfers while the user-interface thread calls Reset), as the plug-in
// interface allows.
class ProgrammerPlugin {
  public:
    ProgrammerPlugin() = default;
    ProgrammerPlugin(const ProgrammerPlugin&) = delete;
    ProgrammerPlugin& operator=(const ProgrammerPlugin&) = delete;
    // Unloads. When the session refuses to close, the library is deliberately left loaded: the plug-in
    // still considers its session open and may run code of its own for it.
    ~ProgrammerPlugin();

    // Loads directory + fileName (RTLD_NOW | RTLD_LOCAL) and looks up the twelve entry points in table
    // order. False, with nothing loaded, when the name or the directory is empty, the library does not
    // load or an entry point is missing. A bare name is never handed to the system's library search.
    bool Load(const std::string& fileName, const std::string& directory = ExecutableDirectory());
    // kPluginOk when nothing is loaded afterwards. An open session is detached first; when that fails its
    // status is returned and the plug-in stays loaded and attached.
    PluginStatus Unload();
    bool IsLoaded() const { return library_ != nullptr; }
    bool IsAttached() const { return IsLoaded() && session_ != 0; }

    // kPluginNoSession when a session is already open (left as it is) or the plug-in opened none; otherwise
    // the new session's Reset status (the session stays open whatever it is).
    PluginStatus Attach(const std::string& port);
    // On kPluginOk the session is closed.
    PluginStatus Detach();
    // Ends a transfer in progress on another thread; see the class comment.
    PluginStatus Reset();

    // True when the plug-in handed out a description pointer (the status is not looked at); text is then
    // its copy, cut at the first line break, else empty.
    bool GetDescription(std::string& text) const;
    // text is set only on kPluginOk with a pointer; otherwise it is left as it was.
    PluginStatus GetVersion(std::string& text) const;
    // The port list in ports (names each ending in a zero byte, the last possibly cut at the buffer's end)
    // and its length: the plug-in's count limited to size, -1 when not loaded. ports is empty when the
    // count is not positive.
    std::int32_t EnumeratePorts(std::string& ports, std::uint32_t size) const;
    // On kPluginOk text holds the firmware text (at most size bytes, cut at a zero byte); otherwise empty.
    PluginStatus GetFirmware(std::string& text, std::uint32_t size) const;

    // The raw facility calls; value (when given) is set to 0 before the call.
    PluginStatus GetGlobalFacility(std::uint32_t code, std::uint32_t* value) const;
    PluginStatus GetSessionFacility(std::uint32_t code, std::uint32_t& value) const;
    PluginStatus SetSessionFacility(std::uint32_t code, std::uint32_t value) const;

    // Questions answer yes when the call succeeds and, where it gives a value, the value is not 0; a
    // plug-in that is not loaded or attached answers no.
    bool IsDriverInstalled() const;
    bool CanManageDriver() const;
    PluginStatus InstallDriver() const;
    PluginStatus UninstallDriver() const;
    bool HasIoDelayRange() const;
    PluginStatus GetIoDelayMin(std::uint32_t& value) const;
    PluginStatus GetIoDelayMax(std::uint32_t& value) const;
    bool IsHardwareIdentified() const;
    bool IsHardwarePlugged() const;
    // Meaningful with the chip powered.
    bool IsChipPresent() const;
    // The value as the plug-in gives it; the caller decides what 0 means.
    PluginStatus GetBlockSize(std::uint32_t& value) const;
    PluginStatus SetPower(bool on) const;
    PluginStatus SetWideAddressing(bool wide) const;
    PluginStatus SetIoDelay(std::int32_t delay) const;

    // length is the number of bytes to move on entry and the number moved on return (never more).
    PluginStatus Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t& length) const;
    PluginStatus Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t& length) const;

  private:
    // The entry points in the order of the names table that Load walks.
    struct EntryPoints {
        decltype(&PGM_GetDescription) getDescription = nullptr;
        decltype(&PGM_GetVersion) getVersion = nullptr;
        decltype(&PGM_EnumeratePorts) enumeratePorts = nullptr;
        decltype(&PGM_GetGlobalFacility) getGlobalFacility = nullptr;
        decltype(&PGM_GetSessionFacility) getSessionFacility = nullptr;
        decltype(&PGM_SetSessionFacility) setSessionFacility = nullptr;
        decltype(&PGM_Attach) attach = nullptr;
        decltype(&PGM_Detach) detach = nullptr;
        decltype(&PGM_GetFirmware) getFirmware = nullptr;
        decltype(&PGM_Reset) reset = nullptr;
        decltype(&PGM_Read) read = nullptr;
        decltype(&PGM_Write) write = nullptr;
    };

    bool ResolveEntryPoints();
    bool AskGlobal(std::uint32_t code) const;
    bool AskGlobalValue(std::uint32_t code) const;
    bool AskSessionValue(std::uint32_t code) const;

    void* library_ = nullptr;
    std::uint32_t session_ = 0;
    EntryPoints entries_;
};

}  // namespace tessaly
