// Read and Program against the chip simulator while it fakes failures, one row per case: a failed or short
// read at every read call and a failed write at every write call, each answered Yes once or No, and faults
// past the last call. Afterwards the chip's memory file shows what was written, the unit's image what was
// read, and the worker that it carries on.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "QuickSettings.h"
#include "SimulatorSandbox.h"
#include "SimulatorSession.h"
#include "TestUnit.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kChip[] = "24C02";

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
constexpr std::array<std::uint32_t, 5> kChunkStarts = {0x10, 0x18, 0x1D, 0x24, 0x28};
constexpr std::array<std::uint32_t, 5> kChunkEnds = {0x17, 0x1B, 0x1F, 0x27, 0x2F};
constexpr std::uint32_t kChunks = kChunkStarts.size();
// Every chunk has more bytes than a short read hands back.
constexpr std::uint32_t kShortReadBytes = 2;

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
        const Bytes earlier = EarlierChip();
        for (std::uint32_t address = kFirst; address <= kLast; ++address) {
            Image(address) = static_cast<std::uint8_t>(~earlier[address]);
            Mask(address) = kMask[address - kFirst];
        }
    }
};

// The earlier chip after the first `chunks` chunks of the unit were programmed over it.
Bytes WithChunksProgrammed(const ProgrammedUnit& unit, std::uint32_t chunks) {
    Bytes chip = EarlierChip();
    for (std::uint32_t i = 0; i < chunks; ++i) {
        for (std::uint32_t address = kChunkStarts[i]; address <= kChunkEnds[i]; ++address) {
            const std::uint8_t mask = kMask[address - kFirst];
            chip[address] =
                static_cast<std::uint8_t>((unit.image[address - kFirst] & mask) | (chip[address] & ~mask));
        }
    }
    return chip;
}

std::string RetryQuestion(std::uint32_t address) {
    char text[64];
    std::snprintf(text, sizeof text, "Device access error!\nDo you want to try again?\n[0x%X]", address);
    return text;
}

// One run: the command, the simulator's faults, whether the question is answered Yes (then No), and the
// outcome: the address the question names (none when the fault is never met) and the chunks programmed.
struct FaultCase {
    std::string name;
    bool programs;
    std::string faults;
    bool yes;
    std::uint32_t address;
    std::uint32_t chunksWritten;
};

void PrintTo(const FaultCase& fault, std::ostream* stream) {
    *stream << fault.name;
}

std::vector<FaultCase> Cases() {
    std::vector<FaultCase> cases;
    for (const bool programs : {false, true}) {
        const std::string command = programs ? "Program" : "Read";
        const std::uint32_t reads = programs ? 2 * kChunks : kChunks;
        // The answers alternate between the two kinds of read fault. Program's reads after its prepare step
        // are its verify step, which finds every chunk written and compares only a complete read.
        for (std::uint32_t call = 1; call <= reads; ++call) {
            const bool verifies = call > kChunks;
            const std::uint32_t first = kChunkStarts[(call - 1) % kChunks];
            const std::string number = std::to_string(call);
            for (const bool shortRead : {false, true}) {
                const bool yes = (call % 2 == 1) != shortRead;
                cases.push_back({command + (shortRead ? "Short" : "Read") + number + (yes ? "Yes" : "No"),
                                 programs,
                                 (shortRead ? "short=" : "read=") + number + (shortRead ? ":2" : ""), yes,
                                 first + (shortRead && !verifies ? kShortReadBytes : 0),
                                 programs && (verifies || yes) ? kChunks : 0});
            }
        }
        cases.push_back({command + "FaultsPastTheLastCall", programs,
                         "read=" + std::to_string(reads + 1) + ",write=" + std::to_string(kChunks + 1), true,
                         0, programs ? kChunks : 0});
    }
    for (std::uint32_t call = 1; call <= kChunks; ++call) {
        for (const bool yes : {true, false}) {
            cases.push_back({"ProgramWrite" + std::to_string(call) + (yes ? "Yes" : "No"), true,
                             "write=" + std::to_string(call), yes, kChunkStarts[call - 1],
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

// Program works on a copy of the image; Read takes the chip's bits inside the mask, all of them when it
// completes. The chip keeps its own bits outside the mask. Then the worker is idle, the chip still ready,
// and a Read of the unit runs through without a question.
TEST_P(FaultInjectionTest, RunEndsAsAnswered) {
    const FaultCase& c = GetParam();
    const bool met = c.address != 0;
    ProgrammedUnit unit;
    const Bytes imageBefore = unit.image;
    sandbox_.SetFaults(c.faults);
    // Each write is made once, so that a refused write reaches the owner's question.
    test::SimulatorSession session(kChip, test::QuickSettings(0, 0));
    ASSERT_TRUE(session.started);
    session.owner.answers = {c.yes};
    ASSERT_TRUE(session.Run(c.programs ? operation::kProgramCommand : operation::kReadCommand, unit.unit));

    EXPECT_EQ(session.owner.Texts("AskRetryAccess"),
              std::vector<std::string>(met ? 1 : 0, RetryQuestion(c.address)));
    EXPECT_EQ(session.owner.Log({"ReadDone", "NotifyCompletion", "ReportDifference"}),
              !c.yes       ? ""
              : c.programs ? "NotifyCompletion Program successfully complete"
                           : "ReadDone");
    EXPECT_EQ(sandbox_.ReadChip(kChip), WithChunksProgrammed(unit, c.chunksWritten));
    const Bytes chip = EarlierChip();
    for (std::uint32_t address = kFirst; address <= kLast; ++address) {
        const std::uint8_t taken = c.programs ? 0x00 : kMask[address - kFirst];
        const std::uint8_t now = unit.image[address - kFirst];
        EXPECT_EQ(now & ~taken, imageBefore[address - kFirst] & ~taken) << "image byte " << address;
        if (c.yes) {
            EXPECT_EQ(now & taken, chip[address] & taken) << "image byte " << address;
        }
    }
    // A fault past the last call would meet the check's own reads.
    if (met) {
        ProgrammedUnit check;
        ASSERT_TRUE(session.Run(operation::kReadCommand, check.unit));
        EXPECT_EQ(session.owner.Count("AskRetryAccess"), 1u);
        EXPECT_EQ(session.owner.Log({"StoreState"}), "StoreState 3");
        EXPECT_EQ(session.owner.Texts("ReadDone").size(), c.yes && !c.programs ? 2u : 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTransfer, FaultInjectionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tessaly
