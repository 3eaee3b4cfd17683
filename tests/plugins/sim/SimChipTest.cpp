#include "plugins/sim/SimChip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <numeric>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Memory in a vector, with a switch that makes every write fail, as a full disk does.
class VectorChipMemory : public ChipMemory {
  public:
    explicit VectorChipMemory(std::uint32_t capacity) : bytes(capacity, 0xFF) {}

    bool Read(std::uint32_t offset, std::span<std::uint8_t> data) override {
        std::copy_n(bytes.begin() + offset, data.size(), data.begin());
        return true;
    }
    bool Write(std::uint32_t offset, std::span<const std::uint8_t> data) override {
        if (failWrites) {
            return false;
        }
        std::ranges::copy(data, bytes.begin() + offset);
        return true;
    }

    std::vector<std::uint8_t> bytes;
    bool failWrites = false;
};

// Settings without a write cycle, so that a test may write again at once.
SimSettings Instant() {
    SimSettings settings;
    settings.writeCycle = 0us;
    return settings;
}

SimSettings WithFaults(const char* faults) {
    SimSettings settings = Instant();
    settings.faults = FaultPlan::Parse(faults);
    return settings;
}

SimSettings WithBus(std::uint32_t khz) {
    SimSettings settings = Instant();
    settings.busKhz = khz;
    return settings;
}

// A powered chip in the addressing mode it needs, its memory numbered 0, 1, 2, ... and still reachable
// by the test.
struct TestChip {
    explicit TestChip(const char* name, const SimSettings& settings = Instant()) {
        const ChipModel& model = *FindChipModel(name);
        auto owned = std::make_unique<VectorChipMemory>(model.capacity);
        memory = owned.get();
        std::iota(memory->bytes.begin(), memory->bytes.end(), std::uint8_t{0});
        chip = std::make_unique<SimChip>(model, std::move(owned), settings);
        chip->SetPower(true);
        chip->SetWideAddressing(model.addressBytes == 2);
    }

    TransferResult Read(std::uint32_t address, std::vector<std::uint8_t>& buffer) {
        return chip->Read(address, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    }
    TransferResult Write(std::uint32_t address, const std::vector<std::uint8_t>& data) {
        return chip->Write(address, data.data(), static_cast<std::uint32_t>(data.size()));
    }
    std::vector<std::uint8_t> Bytes(std::uint32_t first, std::uint32_t count) const {
        return {memory->bytes.begin() + first, memory->bytes.begin() + first + count};
    }

    VectorChipMemory* memory;
    std::unique_ptr<SimChip> chip;
};

using Bytes = std::vector<std::uint8_t>;

void ExpectRefused(TransferResult result, SimStatus status) {
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.count, 0u);
}

void ExpectDone(TransferResult result, std::uint32_t count) {
    EXPECT_EQ(result.status, SimStatus::Ok);
    EXPECT_EQ(result.count, count);
}

TEST(SimChipAddressing, I2cChipsAnswerOnlyInTheirOwnModeAndSpiChipsInEither) {
    for (const auto& [name, wide, answers] : {std::tuple{"24C02", true, false},
                                              {"24C02", false, true},
                                              {"24C256", false, false},
                                              {"24C256", true, true},
                                              {"25LC256", false, true},
                                              {"25LC256", true, true}}) {
        SCOPED_TRACE(std::string(name) + (wide ? " wide" : " narrow"));
        TestChip test(name);
        Bytes buffer(8);
        test.chip->SetWideAddressing(wide);
        if (answers) {
            ExpectDone(test.Read(0, buffer), 8);
        } else {
            ExpectRefused(test.Read(0, buffer), SimStatus::AccessError);
            ExpectRefused(test.Write(0, buffer), SimStatus::AccessError);
            EXPECT_EQ(test.memory->bytes[0], 0);
        }
    }
}

TEST(SimChipPower, OnlyAPoweredChipAnswers) {
    TestChip test("24C02");
    Bytes buffer(8);
    EXPECT_TRUE(test.chip->IsChipPresent());
    test.chip->SetPower(false);
    EXPECT_FALSE(test.chip->IsChipPresent());
    ExpectRefused(test.Read(0, buffer), SimStatus::NoAcknowledge);
    ExpectRefused(test.Write(0, buffer), SimStatus::NoAcknowledge);
    EXPECT_EQ(test.memory->bytes[0], 0);
    test.chip->SetPower(true);
    ExpectDone(test.Read(0, buffer), 8);
}

// Reads run on across pages and wrap at the end of the chip; huge lengths are cut to the chip.
TEST(SimChipMemory, ReadsRunOnAndWrapToAddressZero) {
    struct Case {
        const char* chip;
        std::uint32_t address;
        std::uint32_t length;
        Bytes expected;
    };
    for (const Case& c :
         {Case{"24C02", 0x40, 4, {0x40, 0x41, 0x42, 0x43}}, Case{"24C01", 0x7E, 4, {0x7E, 0x7F, 0x00, 0x01}},
          Case{"24C01", 0x10, 0xFFFFFFFFu, {0x10, 0x11}}}) {
        SCOPED_TRACE(c.address);
        TestChip test(c.chip);
        Bytes buffer(FindChipModel(c.chip)->capacity);
        ExpectDone(test.chip->Read(c.address, buffer.data(), c.length), std::min(c.length, 128u));
        EXPECT_TRUE(std::equal(c.expected.begin(), c.expected.end(), buffer.begin()));
    }
}

// A write stays in its page: it is cut at one page and wraps to the page's start, as real chips do.
TEST(SimChipMemory, WritesWrapInsideOnePage) {
    struct Case {
        const char* chip;
        std::uint32_t address;
        Bytes data;
        std::uint32_t done;
        std::uint32_t first;
        Bytes expected;
    };
    for (const Case& c : {
             Case{"24C02",
                  0x15,
                  {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7},
                  8,
                  0x0F,
                  {0x0F, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA0, 0xA1, 0xA2, 0x18}},
             Case{"24C02",
                  0x20,
                  Bytes(20, 0xEE),
                  8,
                  0x20,
                  {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0x28}},
             Case{"24C01", 0x7E, {1, 2, 3}, 3, 0x78, {3, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 1, 2}},
         }) {
        SCOPED_TRACE(c.address);
        TestChip test(c.chip);
        ExpectDone(test.Write(c.address, c.data), c.done);
        EXPECT_EQ(test.Bytes(c.first, static_cast<std::uint32_t>(c.expected.size())), c.expected);
    }
}

TEST(SimChipMemory, EmptyTransfersSucceedAndStoreNothing) {
    SimSettings settings = Instant();
    settings.writeCycle = 1s;
    TestChip test("24C02", settings);
    Bytes buffer{0xAA};
    ExpectDone(test.chip->Write(0x10, buffer.data(), 0), 0);
    ExpectDone(test.chip->Read(0x10, buffer.data(), 0), 0);
    EXPECT_EQ(buffer[0], 0xAA);
    ExpectDone(test.Read(0x10, buffer), 1);  // an empty write starts no write cycle
    EXPECT_EQ(buffer[0], 0x10);
}

TEST(SimChipMemory, AddressBeyondTheChipOrNullBufferIsRefused) {
    TestChip test("24C02");
    Bytes buffer(8);
    ExpectRefused(test.Read(256, buffer), SimStatus::InvalidRequest);
    ExpectRefused(test.Write(0xFFFFFFFFu, buffer), SimStatus::InvalidRequest);
    ExpectRefused(test.chip->Read(0, nullptr, 8), SimStatus::InvalidRequest);
    ExpectRefused(test.chip->Write(0, nullptr, 8), SimStatus::InvalidRequest);
}

TEST(SimChipMemory, FailingStoreIsAnAccessErrorAndStartsNoWriteCycle) {
    SimSettings settings = Instant();
    settings.writeCycle = 1s;
    TestChip test("24C02", settings);
    test.memory->failWrites = true;
    ExpectRefused(test.Write(0, Bytes{1}), SimStatus::AccessError);
    Bytes buffer(1);
    ExpectDone(test.Read(0, buffer), 1);
}

TEST(SimChipWriteCycle, ChipIsBusyUntilItsWriteCycleEnds) {
    SimSettings settings = Instant();
    settings.writeCycle = 100ms;
    TestChip test("24C02", settings);
    Bytes buffer(8);
    const Clock::time_point written = Clock::now();
    ExpectDone(test.Write(0, Bytes{0x55}), 1);
    ExpectRefused(test.Read(0, buffer), SimStatus::NoAcknowledge);
    ExpectRefused(test.Write(8, Bytes{0x66}), SimStatus::NoAcknowledge);
    ASSERT_LT(Clock::now() - written, 100ms) << "too slow a machine to see the write cycle";
    std::this_thread::sleep_until(written + 120ms);
    ExpectDone(test.Read(0, buffer), 8);
    EXPECT_EQ(buffer[0], 0x55);
    EXPECT_EQ(test.memory->bytes[8], 8);
}

TEST(SimChipWriteCycle, NoWriteCycleWithZeroTime) {
    TestChip test("24C02");
    ExpectDone(test.Write(0, Bytes{1}), 1);
    ExpectDone(test.Write(1, Bytes{2}), 1);
}

TEST(SimChipFaults, ChosenReadsFail) {
    TestChip test("24C02", WithFaults("read=2-3"));
    Bytes buffer(8);
    ExpectRefused(test.Read(1000, buffer), SimStatus::InvalidRequest);  // refused calls are not counted
    ExpectDone(test.Read(0, buffer), 8);
    ExpectRefused(test.Read(0, buffer), SimStatus::NoAcknowledge);
    ExpectRefused(test.Read(0, buffer), SimStatus::NoAcknowledge);
    ExpectDone(test.Read(0, buffer), 8);
}

TEST(SimChipFaults, ChosenWritesFailAndStoreNothing) {
    TestChip test("24C02", WithFaults("write=1"));
    ExpectRefused(test.Write(0, Bytes{0xAA}), SimStatus::NoAcknowledge);
    EXPECT_EQ(test.memory->bytes[0], 0);
    ExpectDone(test.Write(0, Bytes{0xAA}), 1);
    EXPECT_EQ(test.memory->bytes[0], 0xAA);
}

TEST(SimChipFaults, ShortReadHandsBackTheFirstBytes) {
    TestChip test("24C02", WithFaults("short=2:3"));
    Bytes buffer(8, 0xEE);
    ExpectDone(test.Read(0x30, buffer), 8);
    std::ranges::fill(buffer, 0xEE);
    ExpectDone(test.Read(0x30, buffer), 3);
    EXPECT_EQ(buffer, (Bytes{0x30, 0x31, 0x32, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(SimChipFaults, PollStatesFollowTheFaults) {
    EXPECT_FALSE(TestChip("24C02", WithFaults("noid")).chip->IsIdentified());
    EXPECT_TRUE(TestChip("24C02").chip->IsIdentified());
    TestChip test("24C02", WithFaults("nochip"));
    Bytes buffer(8);
    EXPECT_FALSE(test.chip->IsChipPresent());
    EXPECT_TRUE(test.chip->IsPlugged());
    ExpectRefused(test.Read(0, buffer), SimStatus::NoAcknowledge);
}

TEST(SimChipFaults, UnpluggedAfterTheChosenTransfers) {
    TestChip test("24C02", WithFaults("unplug=2"));
    Bytes buffer(8);
    EXPECT_TRUE(test.chip->IsPlugged());
    ExpectDone(test.Read(0, buffer), 8);
    ExpectDone(test.Write(0, Bytes{1}), 1);
    EXPECT_FALSE(test.chip->IsPlugged());
    EXPECT_FALSE(test.chip->IsChipPresent());
    ExpectRefused(test.Read(0, buffer), SimStatus::AccessError);
    ExpectRefused(test.Write(0, Bytes{2}), SimStatus::AccessError);
    EXPECT_EQ(test.memory->bytes[0], 1);
}

TEST(SimChipBus, TransfersTakeTheirBusTime) {
    // 1 + 9 * (1 + 1 + 8) = 91 bits at 50 kHz: 1820 us.
    TestChip test("24C02", WithBus(50));
    Bytes buffer(8);
    const Clock::time_point start = Clock::now();
    ExpectDone(test.Read(0, buffer), 8);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 1820us);
    EXPECT_LT(elapsed, 200ms);
}

TEST(SimChipBus, ResetFromAnotherThreadEndsASlowTransferAndStoresNothing) {
    // 1 + 9 * (1 + 2 + 128) bits at 1 kHz: about 1.2 seconds.
    TestChip test("24C512", WithBus(1));
    Bytes buffer(128, 0xEE);
    const Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return test.Read(0, buffer); });
    std::this_thread::sleep_for(30ms);
    test.chip->Reset();
    ExpectRefused(reading.get(), SimStatus::Cancelled);
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(buffer[0], 0xEE);

    auto writing = std::async(std::launch::async, [&] { return test.Write(0, Bytes(128, 0xAA)); });
    std::this_thread::sleep_for(30ms);
    test.chip->Reset();
    ExpectRefused(writing.get(), SimStatus::Cancelled);
    EXPECT_EQ(test.memory->bytes[1], 1);
}

TEST(SimChipBus, ResetBeforeATransferLeavesItAlone) {
    TestChip test("24C02");
    Bytes buffer(8);
    test.chip->Reset();
    ExpectDone(test.Read(0, buffer), 8);
}

}  // namespace
}  // namespace tessaly
