// Read, Program and Verify against the chip simulator while it fakes failures: a failed or short read at
// every read call, a failed write at every write call (each answered Yes once, and No), the programmer
// unplugged after any number of transfers, and the worker stopped while a question waits. Afterwards the
// chip's memory file shows what was written, the unit's image what was read, and the worker its state.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "QuickSettings.h"
#include "RecordingOwner.h"
#include "SimulatorSandbox.h"
#include "SimulatorSession.h"
#include "TestUnit.h"

namespace tessaly {
namespace {

using test::RecordingOwner;
using test::SimulatorSandbox;
using test::SimulatorSession;
using Kind = RecordingOwner::Kind;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr char kChip[] = "24C02";
constexpr std::uint32_t kChipSize = 256;

// The unit covers 0x10-0x2F, four of the chip's 8-byte pages. Its mask has holes and partial bytes, so its
// steps move it in five chunks.
constexpr std::uint32_t kFirst = 0x10;
constexpr std::uint32_t kLast = 0x2F;
constexpr std::array<std::uint8_t, kLast - kFirst + 1> kMask = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // 0x10
    0xFF, 0xFF, 0xFF, 0xF0, 0x00, 0x0F, 0xFF, 0xFF,  // 0x18
    0x00, 0x00, 0x00, 0x00, 0x3C, 0xFF, 0xC3, 0xFF,  // 0x20
    0x81, 0xFF, 0x7E, 0xFF, 0xFF, 0xFF, 0xFF, 0x01,  // 0x28
};

struct Chunk {
    std::uint32_t first;
    std::uint32_t last;
};

constexpr std::array<Chunk, 5> kChunks = {
    {{0x10, 0x17}, {0x18, 0x1B}, {0x1D, 0x1F}, {0x24, 0x27}, {0x28, 0x2F}}};
constexpr std::uint32_t kChunkCount = kChunks.size();
// Every chunk has more bytes than a short read hands back.
constexpr std::uint32_t kShortReadBytes = 2;

// A device command with the plug-in calls it makes on the unit when nothing fails: one read per chunk for
// each of its reading steps (prepare, read, verify) and one write per chunk for program.
struct Command {
    const char* name;
    OperationMask operation;
    std::uint32_t readSteps;
    std::uint32_t writeSteps;

    std::uint32_t Reads() const { return readSteps * kChunkCount; }
    std::uint32_t Writes() const { return writeSteps * kChunkCount; }
    std::uint32_t Transfers() const { return Reads() + Writes(); }
    bool Programs() const { return (operation & operation::kProgram) != 0; }
};

constexpr Command kRead{"Read", operation::kReadCommand, 1, 0};
constexpr Command kProgram{"Program", operation::kProgramCommand, 2, 1};
constexpr Command kVerify{"Verify", operation::kVerifyCommand, 2, 0};
constexpr std::array kCommands = {kRead, kProgram, kVerify};

// Each write is made once, so that a refused write reaches the owner's question.
WorkerSettings FastSettings() {
    return test::QuickSettings(0, 0);
}

std::uint8_t MaskAt(std::uint32_t address) {
    return address >= kFirst && address <= kLast ? kMask[address - kFirst] : 0x00;
}

// What the chip holds before each test: no two neighbouring bytes alike, no byte 0x00 or 0xFF.
Bytes EarlierChip() {
    Bytes chip(kChipSize);
    for (std::uint32_t address = 0; address < kChipSize; ++address) {
        chip[address] = static_cast<std::uint8_t>(address * 0x9D + 0x37);
    }
    return chip;
}

// The unit with the image it programs: every bit the opposite of the earlier chip's, so that each bit
// shows whether it was written.
struct ProgrammedUnit : test::TestUnit {
    ProgrammedUnit() : TestUnit(kFirst, kLast) {
        const Bytes earlier = EarlierChip();
        for (std::uint32_t address = kFirst; address <= kLast; ++address) {
            Image(address) = static_cast<std::uint8_t>(~earlier[address]);
            Mask(address) = MaskAt(address);
        }
    }
};

// The chip after the first `chunks` chunks of the unit were programmed over `chip`.
Bytes WithChunksProgrammed(Bytes chip, const ProgrammedUnit& unit, std::uint32_t chunks) {
    for (std::uint32_t i = 0; i < chunks; ++i) {
        for (std::uint32_t address = kChunks[i].first; address <= kChunks[i].last; ++address) {
            const std::uint8_t mask = MaskAt(address);
            const std::uint8_t image = unit.image[address - kFirst];
            chip[address] = static_cast<std::uint8_t>((image & mask) | (chip[address] & ~mask));
        }
    }
    return chip;
}

// Verify compares against a chip that holds the unit; Read and Program start from the earlier chip.
Bytes ChipBefore(const Command& command, const ProgrammedUnit& unit) {
    const bool holdsTheUnit = command.operation == operation::kVerifyCommand;
    return WithChunksProgrammed(EarlierChip(), unit, holdsTheUnit ? kChunkCount : 0);
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

std::string RetryQuestion(std::uint32_t address) {
    return "Device access error!\nDo you want to try again?\n[0x" + Hex(address) + "]";
}

class FaultInjectionTest : public ::testing::Test {
  protected:
    void SetUp() override { environment_.WriteChip(kChip, EarlierChip()); }

    std::unique_ptr<SimulatorSession> Open(const std::string& faults) {
        environment_.SetFaults(faults);
        auto session = std::make_unique<SimulatorSession>(kChip, FastSettings());
        EXPECT_TRUE(session->started);
        EXPECT_TRUE(session->reported);
        EXPECT_EQ(session->State(), DeviceState::Ready);
        return session;
    }

    Bytes Chip() const { return environment_.ReadChip(kChip); }

    // Destroyed after every session of a test, which all end within its body.
    SimulatorSandbox environment_{0us};
};

void ExpectBitsOutsideTheMaskKept(const Bytes& before, const Bytes& after) {
    ASSERT_EQ(after.size(), before.size());
    for (std::uint32_t address = 0; address < before.size(); ++address) {
        EXPECT_EQ(after[address] & ~MaskAt(address), before[address] & ~MaskAt(address))
            << "chip byte 0x" << Hex(address);
    }
}

bool Completed(const SimulatorSession& session, const Command& command) {
    if ((command.operation & operation::kRead) != 0) {
        return session.owner.Count(Kind::ReadDone) == 1;
    }
    return session.owner.Count(Kind::NotifyCompletion) == 1;
}

// The worker took the fault in its stride: idle, the chip still ready, and a Read of the unit runs through
// without a question.
void ExpectWorkerStillReads(SimulatorSession& session) {
    EXPECT_FALSE(session.worker.IsBusy());
    EXPECT_EQ(session.State(), DeviceState::Ready);
    const std::size_t asked = session.owner.Count(Kind::AskRetryAccess);
    const std::size_t readDone = session.owner.Count(Kind::ReadDone);
    ProgrammedUnit check;
    ASSERT_TRUE(session.Run(operation::kReadCommand, check.unit));
    EXPECT_EQ(session.owner.Count(Kind::AskRetryAccess), asked);
    EXPECT_EQ(session.owner.Count(Kind::ReadDone), readDone + 1);
}

// One fault, answered Yes once (every later question would get No) or No.
struct FaultCase {
    Command command;
    std::uint32_t call;
    bool retry;
};

std::string Describe(const FaultCase& fault) {
    return std::string(fault.command.name) + "Call" + std::to_string(fault.call) +
           (fault.retry ? "Yes" : "No");
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
    return Describe(info.param);
}

// GoogleTest prints a case with this instead of its bytes.
void PrintTo(const FaultCase& fault, std::ostream* stream) {
    *stream << Describe(fault);
}

void PrintTo(const Command& command, std::ostream* stream) {
    *stream << command.name;
}

// Every read or write call of every command, each answered Yes and No.
std::vector<FaultCase> Cases(bool writes) {
    std::vector<FaultCase> cases;
    for (const Command& command : kCommands) {
        for (std::uint32_t call = 1; call <= (writes ? command.Writes() : command.Reads()); ++call) {
            cases.push_back({command, call, true});
            cases.push_back({command, call, false});
        }
    }
    return cases;
}

// The chunk a transfer call of one kind falls on, counted from 0 through every step of that kind.
std::uint32_t ChunkOfCall(std::uint32_t call) {
    return (call - 1) % kChunkCount;
}

// The chunks programmed before a run ends at this read call without a Yes: a read fault in the prepare
// step leaves the chip as it was, one in the verify step finds every chunk written.
std::uint32_t ChunksWrittenBeforeRead(const Command& command, std::uint32_t call) {
    return command.Programs() && call > kChunkCount ? kChunkCount : 0;
}

class FaultRunTest : public FaultInjectionTest, public ::testing::WithParamInterface<FaultCase> {
  protected:
    // Runs the command with the faults; the owner answers the first question as the case says and No to
    // any other. Checks what holds for every fault: one question at the address given, the run ends as
    // answered, the bits outside the mask stay, and the worker carries on.
    void RunWithFault(const std::string& faults, std::uint32_t questionAddress, std::uint32_t chunksIfNo) {
        const FaultCase& fault = GetParam();
        ProgrammedUnit unit;
        const Bytes imageBefore = unit.image;
        const Bytes chipBefore = ChipBefore(fault.command, unit);
        environment_.WriteChip(kChip, chipBefore);
        auto session = Open(faults);
        session->owner.AnswerQuestions({fault.retry}, false);
        ASSERT_TRUE(session->Run(fault.command.operation, unit.unit));

        EXPECT_EQ(session->Texts(Kind::AskRetryAccess),
                  std::vector<std::string>{RetryQuestion(questionAddress)});
        EXPECT_EQ(Completed(*session, fault.command), fault.retry);
        EXPECT_TRUE(session->Texts(Kind::ReportDifference).empty());
        const Bytes chip = Chip();
        ExpectBitsOutsideTheMaskKept(chipBefore, chip);
        const bool programmed = fault.command.Programs() && fault.retry;
        EXPECT_EQ(chip, WithChunksProgrammed(chipBefore, unit, programmed ? kChunkCount : chunksIfNo));
        ExpectImage(unit, imageBefore, chipBefore);
        ExpectWorkerStillReads(*session);
    }

  private:
    // Program and Verify work on a copy of the image; Read takes the chip's bits inside the mask, all of
    // them after a Yes.
    void ExpectImage(const ProgrammedUnit& unit, const Bytes& before, const Bytes& chip) const {
        const FaultCase& fault = GetParam();
        const bool reads = (fault.command.operation & operation::kRead) != 0;
        for (std::uint32_t address = kFirst; address <= kLast; ++address) {
            const std::uint8_t taken = reads ? MaskAt(address) : 0x00;
            const std::uint8_t earlier = before[address - kFirst];
            const std::uint8_t now = unit.image[address - kFirst];
            EXPECT_EQ(now & ~taken, earlier & ~taken) << "image byte 0x" << Hex(address);
            if (reads && fault.retry) {
                EXPECT_EQ(now & taken, chip[address] & taken) << "image byte 0x" << Hex(address);
            }
        }
    }
};

class ReadFaultTest : public FaultRunTest {};

TEST_P(ReadFaultTest, FailedReadEndsAsAnswered) {
    const FaultCase& fault = GetParam();
    RunWithFault("read=" + std::to_string(fault.call), kChunks[ChunkOfCall(fault.call)].first,
                 ChunksWrittenBeforeRead(fault.command, fault.call));
}

INSTANTIATE_TEST_SUITE_P(EveryReadCall, ReadFaultTest, ::testing::ValuesIn(Cases(false)), CaseName);

class ShortReadTest : public FaultRunTest {};

// Verify compares only a complete read, so a short read of its step asks at the chunk's first byte.
TEST_P(ShortReadTest, ShortReadAsksAtTheFirstByteNotTaken) {
    const FaultCase& fault = GetParam();
    const bool verifies = (fault.command.operation & operation::kVerify) != 0 && fault.call > kChunkCount;
    RunWithFault("short=" + std::to_string(fault.call) + ":" + std::to_string(kShortReadBytes),
                 kChunks[ChunkOfCall(fault.call)].first + (verifies ? 0 : kShortReadBytes),
                 ChunksWrittenBeforeRead(fault.command, fault.call));
}

INSTANTIATE_TEST_SUITE_P(EveryReadCall, ShortReadTest, ::testing::ValuesIn(Cases(false)), CaseName);

class WriteFaultTest : public FaultRunTest {};

// After a No the chunks before the failed one are written and none after it.
TEST_P(WriteFaultTest, FailedWriteEndsAsAnswered) {
    const FaultCase& fault = GetParam();
    RunWithFault("write=" + std::to_string(fault.call), kChunks[ChunkOfCall(fault.call)].first,
                 fault.call - 1);
}

INSTANTIATE_TEST_SUITE_P(EveryWriteCall, WriteFaultTest, ::testing::ValuesIn(Cases(true)), CaseName);

// A fault on the first call after a command's last one is never reached: the sweeps above cover every
// transfer the commands make.
class CallCountTest : public FaultInjectionTest, public ::testing::WithParamInterface<Command> {};

TEST_P(CallCountTest, FaultsAfterTheLastCallAreNeverMet) {
    const Command& command = GetParam();
    ProgrammedUnit unit;
    environment_.WriteChip(kChip, ChipBefore(command, unit));
    auto session = Open("read=" + std::to_string(command.Reads() + 1) +
                        ",write=" + std::to_string(command.Writes() + 1));
    ASSERT_TRUE(session->Run(command.operation, unit.unit));
    EXPECT_TRUE(session->Texts(Kind::AskRetryAccess).empty());
    EXPECT_TRUE(Completed(*session, command));
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CallCountTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

// The programmer unplugged after `transfers` of Program's transfers: every later transfer fails, two Yes
// answers change nothing, the No abandons the run and the next poll reports the unplugged programmer.
class UnplugTest : public FaultInjectionTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(UnplugTest, ProgramIsAbandonedAndTheUnpluggedProgrammerReported) {
    const std::uint32_t transfers = GetParam();
    ProgrammedUnit unit;
    auto session = Open("unplug=" + std::to_string(transfers));
    session->owner.AnswerQuestions({true, true}, false);
    ASSERT_TRUE(session->Run(kProgram.operation, unit.unit));

    EXPECT_EQ(session->owner.Count(Kind::AskRetryAccess), 3u);
    EXPECT_FALSE(Completed(*session, kProgram));
    ASSERT_TRUE(session->owner.WaitFor(Kind::PostDeviceState, 2));
    EXPECT_EQ(session->State(), DeviceState::HardwareUnplugged);
    const auto posted = session->owner.Events(Kind::PostDeviceState);
    EXPECT_EQ(posted.back().value, 0u) << "the device commands stay enabled";
    // Transfers before the unplugging were made: prepare reads, then the writes in order.
    const std::uint32_t writes = transfers > kChunkCount ? std::min(transfers - kChunkCount, kChunkCount) : 0;
    const Bytes chip = Chip();
    ExpectBitsOutsideTheMaskKept(EarlierChip(), chip);
    EXPECT_EQ(chip, WithChunksProgrammed(EarlierChip(), unit, writes));
    EXPECT_FALSE(session->worker.IsBusy());
}

INSTANTIATE_TEST_SUITE_P(AfterEveryTransfer, UnplugTest, ::testing::Range(1u, kProgram.Transfers()));

// Stop while the owner has not yet answered a question: the question ends as No through the stop token,
// Stop returns and the run is abandoned where it was.
struct StopCase {
    const char* name;
    const char* faults;
    std::uint32_t chunksWritten;
};

class StopDuringQuestionTest : public FaultInjectionTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopDuringQuestionTest, StopEndsTheQuestionAndTheRun) {
    const StopCase& stop = GetParam();
    ProgrammedUnit unit;
    auto session = Open(stop.faults);
    session->owner.Hold(Kind::AskRetryAccess);
    ASSERT_TRUE(session->Request(kProgram.operation, unit.unit));
    ASSERT_TRUE(session->owner.WaitUntilHolding());

    EXPECT_TRUE(session->worker.Stop());
    EXPECT_FALSE(session->worker.IsBusy());
    EXPECT_FALSE(session->worker.IsAttached());
    const auto asked = session->owner.Events(Kind::AskRetryAccess);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].stopped);
    EXPECT_EQ(session->owner.Count(Kind::OperationEnded), 1u);
    EXPECT_FALSE(Completed(*session, kProgram));
    const Bytes chip = Chip();
    ExpectBitsOutsideTheMaskKept(EarlierChip(), chip);
    EXPECT_EQ(chip, WithChunksProgrammed(EarlierChip(), unit, stop.chunksWritten));
}

INSTANTIATE_TEST_SUITE_P(Program, StopDuringQuestionTest,
                         ::testing::Values(StopCase{"PrepareRead", "read=2", 0},
                                           StopCase{"Write", "write=3", 2},
                                           StopCase{"VerifyRead", "read=9", kChunkCount}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly
