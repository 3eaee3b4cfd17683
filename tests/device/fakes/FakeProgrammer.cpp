// A programmer plug-in for the tests with a 64 KiB chip in memory, answering from the bench and logging to it
// (see FakeBench.h). Built a second time without PGM_Write (FAKE_WITHOUT_WRITE): a library lacking an entry.
#include <algorithm>
#include <cstring>

#include "FakeBench.h"

namespace {

using namespace tessaly::fake;
using Lock = std::unique_lock<std::mutex>;

// Unlike a real plug-in, the fake keeps its state library-wide on purpose: the test must reach it.
FakeBench bench;
// What Attach answers for a port of the list; any other port opens no session.
constexpr std::uint32_t kSession = 0x51;

// Logs the call "name detail" and answers its status, or the one configured for the name.
std::int32_t Log(const std::string& name, const std::string& detail, std::int32_t status = 0) {
    bench.record.calls.push_back(detail.empty() ? name : name + " " + detail);
    const auto replaced = bench.config.statuses.find(name);
    return replaced != bench.config.statuses.end() ? replaced->second : status;
}

std::int32_t Query(const char* name, const std::map<std::uint32_t, std::uint32_t>& answers,
                   std::uint32_t code, uint32_t* value) {
    const bool unpowered =
        &answers == &bench.config.session && code == PGM_SESSION_CHIP_PRESENT && !bench.record.powered;
    const std::uint32_t answer = answers.contains(code) && !unpowered ? answers.at(code) : 0;
    if (value != nullptr) {
        *value = answer;
    }
    return Log(name, std::to_string(code), answer != 0 ? 0 : 1);
}

// A read or write of *length bytes at address, moving each byte with move(cell, i); *length becomes the
// length the transfer claims, which may exceed the one asked for.
template <typename Move>
std::int32_t Transfer(char kind, std::uint32_t address, uint32_t* length, Move move) {
    Lock lock(bench.mutex);
    const std::uint32_t number = kind == 'R' ? ++bench.record.reads : ++bench.record.writes;
    TransferFault planned{kind, number, number, 0, *length};
    for (const TransferFault& fault : bench.config.faults) {
        if (fault.kind == kind && fault.first <= number && number <= fault.last) {
            planned = fault;
        }
    }
    if (bench.config.holdTransfers) {
        const std::uint32_t resets = bench.record.resets;
        bench.record.holding = true;
        bench.changed.notify_all();
        bench.changed.wait(lock, [&] { return bench.record.resets != resets; });
        planned = {kind, number, number, 4, 0};
    }
    const std::uint32_t moved = std::min(planned.done, *length);
    for (std::uint32_t i = 0; i < moved; ++i) {
        move(bench.config.memory[(address + i) % bench.config.memory.size()], i);
    }
    const std::int32_t status =
        Log(std::string(1, kind), std::to_string(address) + "+" + std::to_string(*length), planned.status);
    *length = planned.done;
    return status;
}

}  // namespace

extern "C" FakeBench* FakeProgrammerBench() {
    return &bench;
}

extern "C" {

int32_t PGM_GetDescription(const char** description) {
    Lock lock(bench.mutex);
    *description = bench.config.description.empty() ? nullptr : bench.config.description.c_str();
    return Log("Description", {});
}

int32_t PGM_GetVersion(const char** version) {
    Lock lock(bench.mutex);
    *version = bench.config.version.empty() ? nullptr : bench.config.version.c_str();
    return Log("Version", {});
}

int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    Lock lock(bench.mutex);
    const std::string& ports = bench.config.ports;
    std::memcpy(buffer, ports.data(), std::min<std::size_t>(size, ports.size()));
    Log("Ports", std::to_string(size));
    return static_cast<int32_t>(ports.size());
}

int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    Lock lock(bench.mutex);
    return Query("Global", bench.config.global, code, value);
}

int32_t PGM_GetSessionFacility(uint32_t, uint32_t code, uint32_t* value) {
    Lock lock(bench.mutex);
    return Query("Get", bench.config.session, code, value);
}

int32_t PGM_SetSessionFacility(uint32_t, uint32_t code, uint32_t value) {
    Lock lock(bench.mutex);
    const std::int32_t status = Log("Set", std::to_string(code) + "=" + std::to_string(value));
    bench.record.powered = status == 0 && code == PGM_SESSION_POWER ? value != 0 : bench.record.powered;
    return status;
}

uint32_t PGM_Attach(const char* port) {
    Lock lock(bench.mutex);
    Log("Attach", port);
    return bench.config.ports.find(std::string(port) + '\0') != std::string::npos ? kSession : 0;
}

int32_t PGM_Detach(uint32_t session) {
    Lock lock(bench.mutex);
    return Log("Detach", std::to_string(session));
}

int32_t PGM_GetFirmware(uint32_t, char* buffer, uint32_t* length) {
    Lock lock(bench.mutex);
    const std::string& firmware = bench.config.firmware;
    const std::uint32_t room = *length;
    std::memcpy(buffer, firmware.data(), std::min<std::size_t>(room, firmware.size()));
    *length = static_cast<std::uint32_t>(firmware.size());
    return Log("Firmware", std::to_string(room));
}

int32_t PGM_Reset(uint32_t session) {
    Lock lock(bench.mutex);
    ++bench.record.resets;
    bench.changed.notify_all();
    return Log("Reset", std::to_string(session));
}

int32_t PGM_Read(uint32_t, uint32_t address, uint8_t* buffer, uint32_t* length) {
    return Transfer('R', address, length, [&](std::uint8_t& cell, std::uint32_t i) { buffer[i] = cell; });
}

#ifndef FAKE_WITHOUT_WRITE
int32_t PGM_Write(uint32_t, uint32_t address, const uint8_t* buffer, uint32_t* length) {
    return Transfer('W', address, length, [&](std::uint8_t& cell, std::uint32_t i) { cell = buffer[i]; });
}
#endif

}  // extern "C"
