// Read and Program through the worker against the chip simulator, with a failed or short read at every read
// call or a failed write at every write call, answered Yes or No: the chip file shows what was written and
// the unit's image what was read.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "QuickSettings.h"
#include "SimulatorSandbox.h"
#include "TestUnit.h"
#include "WorkerSession.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kChip[] = "24C02";

// The unit covers 0x10-0x2F, four of the chip's 8-byte pages. Its mask has holes and partial bytes, so its
// steps move it in five chunks, each longer than a short read (2 bytes).
constexpr std::uint32_t kFirst = 0x10;
constexpr std::uint32_t kLast = 0x2F;
constexpr std::array<std::uint8_t, kLast - kFirst + 1> kMask = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // 0x10
    0xFF, 0xFF, 0xFF, 0xF0, 0x00, 0x0F, 0xFF, 0xFF,  // 0x18
    0x00, 0x00, 0x00, 0x00, 0x3C, 0xFF, 0xC3, 0xFF,  // 0x20
    0x81, 0xFF, 0x7E, 0xFF, 0xFF, 0xFF, 0xFF, 0x01,  // 0x28
};
constexpr std::array<std::uint32_t, 6> kChunkStarts = {0x10, 0x18, 0x1D, 0x24, 0x28, kLast + 1};
constexpr std::uint32_t kChunks = 5;

// What the chip holds before each run: no two neighbouring bytes alike, no byte 0x00 or 0xFF.
Bytes EarlierChip() {
    Bytes chip(256);
    for (std::uint32_t address = 0; address < chip.size(); ++address) {
        chip[address] = static_cast<std::uint8_t>(address * 0x9D + 0x37);
    }
    return chip;
}

// The unit with the image it programs: every bit the opposite of the earlier chip's, so that each bit
// shows whether it was written.
struct ProgrammedUnit : test::TestUnit {
    ProgrammedUnit() : TestUnit(kFirst, kLast) {
        for (std::uint32_t address = kFirst; address <= kLast; ++address) {
            Image(address) = static_cast<std::uint8_t>(~EarlierChip()[address]);
            Mask(address) = kMask[address - kFirst];
        }
    }
};

// The earlier chip with the unit's first `chunks` chunks programmed: their bits inside the mask flipped.
Bytes WithChunksProgrammed(std::uint32_t chunks) {
    Bytes chip = EarlierChip();
    for (std::uint32_t address = kFirst; address < kChunkStarts[chunks]; ++address) {
        chip[address] ^= kMask[address - kFirst];
    }
    return chip;
}

// The command, the simulator's fault, the answer, the address the question names, the chunks programmed.
struct FaultCase {
    bool programs;
    std::string fault;
    bool yes;
    std::uint32_t address;
    std::uint32_t chunksWritten;
};

std::string Name(const FaultCase& c) {
    std::string name = std::string(c.programs ? "Program_" : "Read_") + c.fault + (c.yes ? "_Yes" : "_No");
    std::ranges::replace(name, '=', '_');
    std::ranges::replace(name, ':', '_');
    return name;
}

void PrintTo(const FaultCase& c, std::ostream* stream) {
    *stream << Name(c);
}

// Program's reads after its prepare step are its verify step, which finds every chunk written and compares
// only a complete read. The answers alternate between the two kinds of read fault.
std::vector<FaultCase> Cases() {
    std::vector<FaultCase> cases;
    for (const bool programs : {false, true}) {
        for (std::uint32_t call = 1; call <= (programs ? 2 : 1) * kChunks; ++call) {
            const bool verifies = call > kChunks;
            const std::uint32_t first = kChunkStarts[(call - 1) % kChunks];
            for (const bool shortRead : {false, true}) {
                const bool yes = (call % 2 == 1) != shortRead;
                cases.push_back(
                    {programs,
                     (shortRead ? "short=" : "read=") + std::to_string(call) + (shortRead ? ":2" : ""), yes,
                     first + (shortRead && !verifies ? 2 : 0), programs && (verifies || yes) ? kChunks : 0});
            }
        }
    }
    for (std::uint32_t call = 1; call <= kChunks; ++call) {
        for (const bool yes : {true, false}) {
            cases.push_back({true, "write=" + std::to_string(call), yes, kChunkStarts[call - 1],
                             yes ? kChunks : call - 1});
        }
    }
    return cases;
}

class FaultInjectionTest : public ::testing::TestWithParam<FaultCase> {
  protected:
    void SetUp() override { sandbox_.WriteChip(kChip, EarlierChip()); }

    // Destroyed after every session of a test, which all end within its body.
    test::SimulatorSandbox sandbox_{std::chrono::microseconds(0)};
};

// Program works on a copy of the image, Read takes the chip's bits inside the mask; the chip keeps its own
// bits outside it, and stays ready.
TEST_P(FaultInjectionTest, RunEndsAsAnswered) {
    const FaultCase& c = GetParam();
    ProgrammedUnit unit;
    sandbox_.SetFaults(c.fault);
    // Each write is made once, so that a refused write reaches the owner's question.
    test::WorkerSession session(test::QuickSettings(0, 0));
    ASSERT_TRUE(session.Start(kChip));
    session.owner.answers = {c.yes};
    ASSERT_TRUE(session.Run(c.programs ? operation::kProgramCommand : operation::kReadCommand, unit.unit));
    char question[96];
    std::snprintf(question, sizeof question,
                  "AskRetryAccess Device access error!\nDo you want to try again?\n[0x%X]", c.address);
    EXPECT_EQ(session.owner.Log(
                  {"AskRetryAccess", "ReadDone", "NotifyCompletion", "ReportDifference", "StoreState"}),
              std::string("StoreState 3 | ") + question +
                  (!c.yes       ? ""
                   : c.programs ? " | NotifyCompletion Program successfully complete"
                                : " | ReadDone"));
    EXPECT_EQ(sandbox_.ReadChip(kChip), WithChunksProgrammed(c.chunksWritten));
    // The image keeps its own bits (the earlier chip's opposite) but those a read took from the chip, of
    // which only a completed read's are known.
    const Bytes earlier = EarlierChip();
    for (std::uint32_t address = kFirst; address <= kLast; ++address) {
        const std::uint8_t taken = c.programs ? 0x00 : kMask[address - kFirst];
        const std::uint8_t known = c.yes ? 0xFF : static_cast<std::uint8_t>(~taken);
        const std::uint8_t expected = (~earlier[address] & ~taken) | (earlier[address] & taken);
        EXPECT_EQ(unit.image[address - kFirst] & known, expected & known) << "image byte " << address;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTransfer, FaultInjectionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return Name(info.param); });

}  // namespace
}  // namespace tessaly
