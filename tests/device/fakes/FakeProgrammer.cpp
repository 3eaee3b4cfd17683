// A programmer plug-in for the tests: a 64 KiB chip in memory, answers taken from the bench's
// configuration and every call written to the bench's record (see FakeBench.h).
#include <algorithm>
#include <cstring>

#include "FakeBench.h"
#include "device/PluginInterface.h"

namespace {

using tessaly::fake::Call;
using tessaly::fake::CallKind;
using tessaly::fake::FakeBench;
using tessaly::fake::TransferFault;

// Unlike a real plug-in, the fake keeps its state library-wide on purpose: the test must reach it.
FakeBench bench;

using Lock = std::unique_lock<std::mutex>;

std::int32_t Log(Call call) {
    bench.record.calls.push_back(call);
    return call.status;
}

const TransferFault* FindFault(CallKind kind, std::uint32_t number) {
    for (const TransferFault& fault : bench.config.faults) {
        if (fault.kind == kind && fault.call == number) {
            return &fault;
        }
    }
    return nullptr;
}

// Waits for a reset when the bench holds transfers; true when the transfer was ended by one.
bool HeldUntilReset(Lock& lock) {
    if (!bench.config.holdTransfers) {
        return false;
    }
    const std::uint32_t resets = bench.record.resets;
    bench.record.holding = true;
    bench.changed.notify_all();
    bench.changed.wait(lock, [&] { return bench.record.resets != resets; });
    bench.record.holding = false;
    return true;
}

// The status and length of a transfer of `asked` bytes, before any byte moves.
Call PlanTransfer(CallKind kind, std::uint32_t number, std::uint32_t address, std::uint32_t asked) {
    Call call{kind, 0, 0, address, asked, asked, 0};
    if (const TransferFault* fault = FindFault(kind, number)) {
        call.status = fault->status;
        call.done = std::min(fault->done, asked);
    } else if (bench.record.busyCalls > 0) {
        --bench.record.busyCalls;
        call.status = 1;
        call.done = 0;
    }
    return call;
}

std::uint8_t& Cell(std::uint32_t address) {
    return bench.config.memory[address % bench.config.memory.size()];
}

}  // namespace

extern "C" FakeBench* FakeProgrammerBench() {
    return &bench;
}

extern "C" {

int32_t PGM_GetDescription(const char** description) {
    Lock lock(bench.mutex);
    *description = bench.config.description.c_str();
    return Log({CallKind::GetDescription});
}

int32_t PGM_GetVersion(const char** version) {
    Lock lock(bench.mutex);
    *version = bench.config.version.c_str();
    return Log({CallKind::GetVersion, 0, 0, 0, 0, 0, bench.config.versionStatus});
}

int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    Lock lock(bench.mutex);
    const std::uint32_t used = std::min<std::uint32_t>(size, bench.config.ports.size());
    std::memcpy(buffer, bench.config.ports.data(), used);
    Log({CallKind::EnumeratePorts, 0, 0, 0, size, used, 0});
    return static_cast<int32_t>(used);
}

int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    Lock lock(bench.mutex);
    const auto& config = bench.config;
    std::int32_t status = 0;
    std::uint32_t answer = 0;
    switch (code) {
        case PGM_GLOBAL_DRIVER_INSTALLED:
            answer = config.driverInstalled ? 1 : 0;
            break;
        case PGM_GLOBAL_CAN_MANAGE_DRIVER:
            status = config.canManageDriver ? 0 : 1;
            break;
        case PGM_GLOBAL_INSTALL_DRIVER:
            status = config.installStatus;
            break;
        case PGM_GLOBAL_UNINSTALL_DRIVER:
            break;
        case PGM_GLOBAL_IO_DELAY_RANGE:
            status = config.ioDelayAdjustable ? 0 : 1;
            break;
        case PGM_GLOBAL_IO_DELAY_MIN:
            answer = config.ioDelayMin;
            break;
        case PGM_GLOBAL_IO_DELAY_MAX:
            answer = config.ioDelayMax;
            break;
        default:
            status = 1;
            break;
    }
    if (value != nullptr) {
        *value = answer;
    }
    return Log({CallKind::GetGlobalFacility, code, answer, 0, 0, 0, status});
}

int32_t PGM_GetSessionFacility(uint32_t session, uint32_t code, uint32_t* value) {
    Lock lock(bench.mutex);
    const auto& config = bench.config;
    std::int32_t status = session == config.session ? 0 : 1;
    std::uint32_t answer = 0;
    switch (code) {
        case PGM_SESSION_HARDWARE_IDENTIFIED:
            answer = config.hardwareIdentified ? 1 : 0;
            break;
        case PGM_SESSION_HARDWARE_PLUGGED:
            answer = config.hardwarePlugged ? 1 : 0;
            break;
        // A chip answers only while it is powered.
        case PGM_SESSION_CHIP_PRESENT:
            answer = config.chipPresent && bench.record.powered ? 1 : 0;
            break;
        case PGM_SESSION_BLOCK_SIZE:
            answer = config.blockSize;
            status = config.blockSizeStatus;
            break;
        default:
            status = 1;
            break;
    }
    *value = answer;
    return Log({CallKind::GetSessionFacility, code, answer, 0, 0, 0, status});
}

int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value) {
    Lock lock(bench.mutex);
    std::int32_t status = session == bench.config.session ? bench.config.setStatus : 1;
    if (status == 0) {
        switch (code) {
            case PGM_SESSION_POWER:
                bench.record.powered = value != 0;
                break;
            case PGM_SESSION_WIDE_ADDRESSING:
                break;
            case PGM_SESSION_IO_DELAY:
                bench.record.ioDelay = static_cast<std::int32_t>(value);
                break;
            default:
                status = 1;
                break;
        }
    }
    return Log({CallKind::SetSessionFacility, code, value, 0, 0, 0, status});
}

uint32_t PGM_Attach(const char* port) {
    Lock lock(bench.mutex);
    // A port that the plug-in does not list opens no session.
    const std::string& ports = bench.config.ports;
    const bool listed = ports.find(std::string(port) + '\0') != std::string::npos;
    const std::uint32_t session = listed ? bench.config.session : 0;
    Log({CallKind::Attach, 0, session, 0, 0, 0, 0});
    return session;
}

int32_t PGM_Detach(uint32_t session) {
    Lock lock(bench.mutex);
    return Log({CallKind::Detach, 0, session, 0, 0, 0, bench.config.detachStatus});
}

int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length) {
    Lock lock(bench.mutex);
    const std::string& firmware = bench.config.firmware;
    const std::uint32_t room = *length;
    const std::uint32_t used = room == 0 ? 0 : std::min<std::uint32_t>(room - 1, firmware.size());
    std::memcpy(buffer, firmware.data(), used);
    if (room > 0) {
        buffer[used] = '\0';
    }
    *length = used;
    return Log({CallKind::GetFirmware, 0, session, 0, room, used, bench.config.firmwareStatus});
}

int32_t PGM_Reset(uint32_t session) {
    Lock lock(bench.mutex);
    ++bench.record.resets;
    bench.changed.notify_all();
    return Log({CallKind::Reset, 0, session, 0, 0, 0, bench.config.resetStatus});
}

int32_t PGM_Read(uint32_t, uint32_t address, uint8_t* buffer, uint32_t* length) {
    Lock lock(bench.mutex);
    const std::uint32_t number = ++bench.record.reads;
    if (HeldUntilReset(lock)) {
        const std::uint32_t asked = *length;
        *length = 0;
        return Log({CallKind::Read, 0, 0, address, asked, 0, 4});
    }
    Call call = PlanTransfer(CallKind::Read, number, address, *length);
    for (std::uint32_t i = 0; i < call.done; ++i) {
        buffer[i] = Cell(address + i);
    }
    *length = call.done;
    return Log(call);
}

int32_t PGM_Write(uint32_t, uint32_t address, const uint8_t* buffer, uint32_t* length) {
    Lock lock(bench.mutex);
    const std::uint32_t number = ++bench.record.writes;
    if (HeldUntilReset(lock)) {
        const std::uint32_t asked = *length;
        *length = 0;
        return Log({CallKind::Write, 0, 0, address, asked, 0, 4});
    }
    Call call = PlanTransfer(CallKind::Write, number, address, *length);
    for (std::uint32_t i = 0; i < call.done; ++i) {
        Cell(address + i) = buffer[i];
    }
    if (call.status == 0 && call.done > 0) {
        bench.record.busyCalls = bench.config.busyCallsAfterWrite;
    }
    *length = call.done;
    return Log(call);
}

}  // extern "C"
