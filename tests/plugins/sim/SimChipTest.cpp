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
using Bytes = std::vector<std::uint8_t>;

// Memory in a vector, with a switch that makes every write fail, as a full disk does.
class VectorChipMemory : public ChipMemory {
  public:
    explicit VectorChipMemory(std::uint32_t capacity) : bytes(capacity) {}

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

    Bytes bytes;
    bool failWrites = false;
};

SimSettings Settings(std::chrono::microseconds writeCycle, const char* faults = "", std::uint32_t khz = 0) {
    return {.directory = {}, .writeCycle = writeCycle, .busKhz = khz, .faults = FaultPlan::Parse(faults)};
}

// A powered chip in the addressing mode it needs, its memory numbered 0, 1, 2, ... and still reachable
// by the test.
struct TestChip {
    explicit TestChip(const char* name, const SimSettings& settings = Settings(0us)) {
        const ChipModel& model = *FindChipModel(name);
        auto owned = std::make_unique<VectorChipMemory>(model.capacity);
        memory = owned.get();
        std::iota(memory->bytes.begin(), memory->bytes.end(), std::uint8_t{0});
        chip = std::make_unique<SimChip>(model, std::move(owned), settings);
        chip->SetPower(true);
        chip->SetWideAddressing(model.addressBytes == 2);
    }

    TransferResult Read(std::uint32_t address, Bytes& buffer) {
        return chip->Read(address, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    }
    TransferResult Write(std::uint32_t address, const Bytes& data) {
        return chip->Write(address, data.data(), static_cast<std::uint32_t>(data.size()));
    }

    Bytes Memory(std::uint32_t first, std::uint32_t count) const {
        return {memory->bytes.begin() + first, memory->bytes.begin() + first + count};
    }

    VectorChipMemory* memory;
    std::unique_ptr<SimChip> chip;
};

void Expect(TransferResult result, PluginStatus status, std::uint32_t count) {
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.count, count);
}

TEST(SimChip, I2cChipsAnswerOnlyInTheirOwnModeSpiChipsInEitherAndOnlyWhenPowered) {
    for (const auto& [name, wide, powered, answer] : {std::tuple{"24C02", false, true, PluginStatus::Ok},
                                                      {"24C02", true, true, PluginStatus::HardwareError},
                                                      {"24C256", false, true, PluginStatus::HardwareError},
                                                      {"24C256", true, true, PluginStatus::Ok},
                                                      {"25LC256", false, true, PluginStatus::Ok},
                                                      {"25LC256", true, true, PluginStatus::Ok},
                                                      {"24C02", false, false, PluginStatus::NoAnswer}}) {
        SCOPED_TRACE(std::string(name) + (wide ? " wide" : " narrow") + (powered ? "" : " unpowered"));
        TestChip test(name);
        test.chip->SetWideAddressing(wide);
        test.chip->SetPower(powered);
        EXPECT_EQ(test.chip->IsChipPresent(), powered);
        Bytes buffer(8);
        const std::uint32_t count = answer == PluginStatus::Ok ? 8 : 0;
        Expect(test.Read(0, buffer), answer, count);
        Expect(test.Write(0, Bytes(8, 0xEE)), answer, count);
        EXPECT_EQ(test.memory->bytes[0], answer == PluginStatus::Ok ? 0xEE : 0);
    }
}

// A read runs on across pages and wraps at the end of the chip, a huge length cut to the chip. A write
// stays in its page: it is cut at one page and wraps to the page's start, as real chips do.
TEST(SimChip, ReadsWrapAtTheChipsEndAndWritesInsideTheirPage) {
    TestChip small("24C01");
    Bytes buffer(200);
    Expect(small.chip->Read(0x7E, buffer.data(), 4), PluginStatus::Ok, 4);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), (Bytes{0x7E, 0x7F, 0x00, 0x01}));
    Expect(small.chip->Read(0x10, buffer.data(), 0xFFFFFFFFu), PluginStatus::Ok, 128);
    EXPECT_EQ(buffer[127], 0x0F);
    Expect(small.Write(0x7E, Bytes{1, 2, 3}), PluginStatus::Ok, 3);
    EXPECT_EQ(small.Memory(0x78, 8), (Bytes{3, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 1, 2}));

    TestChip test("24C02");
    Bytes twenty(20);
    std::iota(twenty.begin(), twenty.end(), std::uint8_t{0xA0});
    Expect(test.Write(0x15, twenty), PluginStatus::Ok, 8);
    EXPECT_EQ(test.Memory(0x0F, 10), (Bytes{0x0F, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA0, 0xA1, 0xA2, 0x18}));
}

// Only a write that stored bytes starts the write cycle: not an address-only write, nor one whose bytes
// could not be kept.
TEST(SimChip, ChipIsBusyUntilItsWriteCycleEnds) {
    TestChip test("24C02", Settings(100ms));
    Bytes buffer(8);
    Expect(test.chip->Write(0x10, buffer.data(), 0), PluginStatus::Ok, 0);
    test.memory->failWrites = true;
    Expect(test.Write(0x10, Bytes{1}), PluginStatus::HardwareError, 0);
    test.memory->failWrites = false;
    Expect(test.chip->Read(0x10, buffer.data(), 0), PluginStatus::Ok, 0);
    Expect(test.Read(0x10, buffer), PluginStatus::Ok, 8);
    EXPECT_EQ(buffer[0], 0x10);

    const Clock::time_point written = Clock::now();
    Expect(test.Write(0, Bytes{0x55}), PluginStatus::Ok, 1);
    Expect(test.Read(0, buffer), PluginStatus::NoAnswer, 0);
    Expect(test.Write(8, Bytes{0x66}), PluginStatus::NoAnswer, 0);
    ASSERT_LT(Clock::now() - written, 100ms) << "too slow a machine to see the write cycle";
    std::this_thread::sleep_until(written + 120ms);
    Expect(test.Read(0, buffer), PluginStatus::Ok, 8);
    EXPECT_EQ(buffer[0], 0x55);
    EXPECT_EQ(test.memory->bytes[8], 8);
}

// Each step reads 8 bytes or writes the byte 0xAA; a read also shows the first byte it got.
TEST(SimChip, FaultsFailTheChosenCallsAndRefusedCallsAreNotCounted) {
    struct Step {
        char op;
        std::uint32_t address;
        PluginStatus status;
        std::uint32_t count;
        int first = -1;
    };
    const auto ok = PluginStatus::Ok;
    const auto nak = PluginStatus::NoAnswer;
    const auto invalid = PluginStatus::InvalidRequest;
    const auto access = PluginStatus::HardwareError;
    const std::vector<std::pair<const char*, std::vector<Step>>> cases{
        {"read=2-3",
         {{'r', 256, invalid, 0}, {'r', 0, ok, 8}, {'r', 0, nak, 0}, {'r', 0, nak, 0}, {'r', 0, ok, 8}}},
        {"write=1",
         {{'w', 256, invalid, 0},
          {'w', 0, nak, 0},
          {'r', 0, ok, 8, 0},
          {'w', 0, ok, 1},
          {'r', 0, ok, 8, 0xAA}}},
        {"short=2:3", {{'r', 0x30, ok, 8}, {'r', 0x30, ok, 3, 0x30}}},
        {"unplug=2", {{'r', 0, ok, 8}, {'w', 0, ok, 1}, {'r', 0, access, 0}, {'w', 1, access, 0}}},
    };
    for (const auto& [faults, steps] : cases) {
        TestChip test("24C02", Settings(0us, faults));
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(std::string(faults) + " step " + std::to_string(i));
            const Step& step = steps[i];
            Bytes buffer(step.op == 'r' ? 8 : 1, 0xAA);
            Expect(step.op == 'r' ? test.Read(step.address, buffer) : test.Write(step.address, buffer),
                   step.status, step.count);
            if (step.first >= 0) {
                EXPECT_EQ(buffer[0], step.first);
            }
        }
        EXPECT_EQ(test.memory->bytes[1], 1) << faults;
    }
}

TEST(SimChip, PollStatesFollowTheFaults) {
    for (const auto& [faults, identified, plugged, present] : {std::tuple{"", true, true, true},
                                                               {"noid", false, true, true},
                                                               {"nochip", true, true, false},
                                                               {"unplug=0", true, false, false}}) {
        const TestChip test("24C02", Settings(0us, faults));
        EXPECT_EQ(test.chip->IsIdentified(), identified) << faults;
        EXPECT_EQ(test.chip->IsPlugged(), plugged) << faults;
        EXPECT_EQ(test.chip->IsChipPresent(), present) << faults;
    }
}

TEST(SimChip, ResetFromAnotherThreadEndsASlowTransferAndStoresNothing) {
    // 1 + 9 * (1 + 2 + 128) bits at 1 kHz: about 1.2 seconds.
    TestChip test("24C512", Settings(0us, "", 1));
    Bytes buffer(128, 0xEE);
    const Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return test.Read(0, buffer); });
    std::this_thread::sleep_for(30ms);
    test.chip->Reset();
    Expect(reading.get(), PluginStatus::Cancelled, 0);
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(buffer[0], 0xEE);

    auto writing = std::async(std::launch::async, [&] { return test.Write(0, Bytes(128, 0xAA)); });
    std::this_thread::sleep_for(30ms);
    test.chip->Reset();
    Expect(writing.get(), PluginStatus::Cancelled, 0);
    EXPECT_EQ(test.memory->bytes[1], 1);
}

}  // namespace
}  // namespace tessaly
