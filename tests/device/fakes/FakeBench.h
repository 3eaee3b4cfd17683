#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// The test side of the fake programmer plug-in: what it answers and the record of every call it took. The
// plug-in and the test process share one FakeBench per loaded library, reached through the extra export
// FakeProgrammerBench; every access holds the bench's mutex, since the device worker calls the plug-in
// from its own thread while the test configures it or reads the record.
namespace tessaly::fake {

enum class CallKind {
    GetDescription,
    GetVersion,
    EnumeratePorts,
    GetGlobalFacility,
    GetSessionFacility,
    SetSessionFacility,
    Attach,
    Detach,
    GetFirmware,
    Reset,
    Read,
    Write,
};

struct Call {
    CallKind kind = CallKind::GetDescription;
    std::uint32_t code = 0;     // facility code
    std::uint32_t value = 0;    // value set, or value answered
    std::uint32_t address = 0;  // transfers
    std::uint32_t asked = 0;    // transfers: length asked for
    std::uint32_t done = 0;     // transfers: length handed back
    std::int32_t status = 0;
};

// The outcome of one chosen transfer: the call-th Read or Write (counted from 1 since the last clear)
// moves only `done` bytes and answers `status`, whatever the chip could do.
struct TransferFault {
    CallKind kind = CallKind::Read;
    std::uint32_t call = 1;
    std::int32_t status = 0;
    std::uint32_t done = 0;
};

struct Config {
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(0x10000, 0xFF);
    std::string description = "Fake programmer";
    std::int32_t versionStatus = 0;
    std::string version = "fake 1.0";
    std::string ports = std::string("fake0\0fake1\0", 12);
    std::int32_t firmwareStatus = 0;
    std::string firmware = "FW 2.1";

    bool driverInstalled = true;
    bool canManageDriver = false;
    std::int32_t installStatus = 0;
    bool ioDelayAdjustable = true;
    std::uint32_t ioDelayMin = 1;
    std::uint32_t ioDelayMax = 50;

    std::uint32_t session = 0x51;  // what Attach answers; 0 refuses
    std::int32_t resetStatus = 0;
    std::int32_t detachStatus = 0;
    bool hardwareIdentified = true;
    bool hardwarePlugged = true;
    bool chipPresent = true;
    std::int32_t blockSizeStatus = 0;
    std::uint32_t blockSize = 16;
    std::int32_t setStatus = 0;  // SetSessionFacility

    // After each accepted write the chip refuses this many writes and reads (status 1, length 0), as a
    // chip does during its write cycle.
    std::uint32_t busyCallsAfterWrite = 0;
    std::vector<TransferFault> faults;
    // Transfers wait until PGM_Reset comes, then fail: a programmer that hangs.
    bool holdTransfers = false;
};

struct Record {
    std::vector<Call> calls;
    std::uint32_t reads = 0;
    std::uint32_t writes = 0;
    std::uint32_t busyCalls = 0;  // refusals still to come
    std::uint32_t resets = 0;
    bool powered = false;
    std::int32_t ioDelay = 0;
    bool holding = false;  // a transfer is waiting for a reset
};

struct FakeBench {
    std::mutex mutex;
    std::condition_variable changed;
    Config config;
    Record record;
};

}  // namespace tessaly::fake

extern "C" tessaly::fake::FakeBench* FakeProgrammerBench();
