#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/PluginInterface.h"

// What the fake programmer plug-in answers and the log of every call it took, shared with the test through
// the extra export FakeProgrammerBench; every access holds the mutex (the worker calls from its thread).
namespace tessaly::fake {

// The reads ('R') or writes ('W') first to last, counted from 1 since the log was cleared, answer status and
// claim to have moved `done` bytes, whatever the chip could do; none moves more than asked for.
struct TransferFault {
    char kind;
    std::uint32_t first;
    std::uint32_t last;
    std::int32_t status;
    std::uint32_t done;
};

// Besides good answers, the fake breaks the promises the host must not rely on: overlong texts, port lists
// and firmware texts that claim their whole length whatever the room, any status and length.
struct Config {
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(0x10000, 0xFF);
    // An empty text is handed out as a null pointer.
    std::string description = "Fake programmer";
    std::string version = "fake 1.0";
    std::string ports = std::string("fake0\0fake1\0", 12);
    std::string firmware = "FW 2.1";
    // Facility answers by code: status 0 for a value not 0, else 1. The chip answers only while powered.
    std::map<std::uint32_t, std::uint32_t> global = {
        {PGM_GLOBAL_DRIVER_INSTALLED, 1}, {PGM_GLOBAL_INSTALL_DRIVER, 1}, {PGM_GLOBAL_UNINSTALL_DRIVER, 1},
        {PGM_GLOBAL_IO_DELAY_RANGE, 1},   {PGM_GLOBAL_IO_DELAY_MIN, 1},   {PGM_GLOBAL_IO_DELAY_MAX, 50}};
    std::map<std::uint32_t, std::uint32_t> session = {{PGM_SESSION_HARDWARE_IDENTIFIED, 1},
                                                      {PGM_SESSION_HARDWARE_PLUGGED, 1},
                                                      {PGM_SESSION_CHIP_PRESENT, 1},
                                                      {PGM_SESSION_BLOCK_SIZE, 16}};
    // The status every call of a name (as logged) answers instead of its own.
    std::map<std::string, std::int32_t> statuses;
    std::vector<TransferFault> faults;
    // Transfers wait until PGM_Reset comes, then fail (status 4): a programmer that hangs.
    bool holdTransfers = false;
};

// Every call as "Name detail", numbers in decimal: "Description", "Version", "Ports room", "Global code",
// "Get code", "Set code=value", "Attach port", "Detach session", "Firmware room", "Reset session",
// "R address+length" and "W address+length" (the length asked for).
struct Record {
    std::vector<std::string> calls;
    std::uint32_t reads = 0;
    std::uint32_t writes = 0;
    std::uint32_t resets = 0;
    bool powered = false;
    bool holding = false;  // a transfer was held
};

struct FakeBench {
    std::mutex mutex;
    std::condition_variable changed;
    Config config;
    Record record;
};

}  // namespace tessaly::fake

extern "C" tessaly::fake::FakeBench* FakeProgrammerBench();
