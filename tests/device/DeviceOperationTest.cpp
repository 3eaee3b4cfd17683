#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FakeLibrary.h"
#include "RecordingOwner.h"
#include "RecordingPrompt.h"
#include "TestUnit.h"
#include "device/DeviceOperation.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using fake::CallKind;
using test::FakeLibrary;
using test::RecordingOwner;
using test::TestUnit;
using Kind = RecordingOwner::Kind;

// One transfer as the plug-in saw it.
struct Transfer {
    CallKind kind;
    std::uint32_t address;
    std::uint32_t length;
    bool operator==(const Transfer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Transfer& transfer) {
    return out << (transfer.kind == CallKind::Read ? "read " : "write ") << std::hex << "0x"
               << transfer.address << std::dec << "+" << transfer.length;
}

Transfer R(std::uint32_t address, std::uint32_t length) {
    return {CallKind::Read, address, length};
}

Transfer W(std::uint32_t address, std::uint32_t length) {
    return {CallKind::Write, address, length};
}

class DeviceOperationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Load(test::kFakeProgrammer, test::kTestPluginDir));
        ASSERT_EQ(plugin.Attach("fake0"), kPluginOk);
        ASSERT_EQ(plugin.SetPower(true), kPluginOk);
        settings.delayPowerUp = 0;
        settings.pulseFix = 0;
        fake.ClearRecord();
    }

    bool Run(OperationMask operation, TestUnit& unit) {
        return DeviceOperation(plugin, owner, settings, stop.get_token()).Run(operation, unit.unit);
    }

    void SetBlockSize(std::uint32_t size) {
        fake.Configure([size](fake::Config& config) { config.blockSize = size; });
    }

    void SetChip(std::uint32_t address, std::vector<std::uint8_t> bytes) {
        fake.Configure([&](fake::Config& config) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                config.memory[address + i] = bytes[i];
            }
        });
    }

    std::uint8_t Chip(std::uint32_t address) const { return fake.Memory()[address]; }

    // The transfers as asked for, in order.
    std::vector<Transfer> Transfers() const {
        std::vector<Transfer> transfers;
        for (const fake::Call& call : fake.Transfers()) {
            transfers.push_back({call.kind, call.address, call.asked});
        }
        return transfers;
    }

    std::vector<std::string> Questions() const {
        std::vector<std::string> texts;
        for (const auto& event : owner.Events(Kind::AskRetryAccess)) {
            texts.push_back(event.text);
        }
        return texts;
    }

    FakeLibrary fake;
    ProgrammerPlugin plugin;
    RecordingOwner owner;
    WorkerSettings settings;
    std::stop_source stop;
};

// Chunks

// Chunks end at block boundaries and at bytes without mask; a block size of 0 or one that cannot be reported
// is used as 1, and a huge one moves the unit at once.
TEST_F(DeviceOperationTest, ChunksFollowTheBlocksAndTheMask) {
    const struct {
        const char* name;
        std::int32_t blockStatus;
        std::uint32_t blockSize;
        std::uint32_t first;
        std::uint32_t last;
        std::uint32_t unmaskedFirst;  // bytes without mask, none when after unmaskedLast
        std::uint32_t unmaskedLast;
        std::vector<Transfer> transfers;
    } cases[] = {
        {"whole blocks", 0, 16, 0x00, 0x3F, 1, 0, {R(0x00, 16), R(0x10, 16), R(0x20, 16), R(0x30, 16)}},
        {"partial blocks", 0, 16, 0x05, 0x24, 1, 0, {R(0x05, 11), R(0x10, 16), R(0x20, 5)}},
        {"hole", 0, 16, 0x00, 0x0F, 0x08, 0x0B, {R(0x00, 8), R(0x0C, 4)}},
        {"no mask", 0, 16, 0x00, 0x3F, 0x00, 0x3F, {}},
        {"zero block size", 0, 0, 0x10, 0x12, 1, 0, {R(0x10, 1), R(0x11, 1), R(0x12, 1)}},
        {"unreported block size", 3, 64, 0x10, 0x11, 1, 0, {R(0x10, 1), R(0x11, 1)}},
        {"huge block size", 0, 0xFFFFFFFF, 0x100, 0x1FF, 1, 0, {R(0x100, 0x100)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Configure([&c](fake::Config& config) {
            config.blockSizeStatus = c.blockStatus;
            config.blockSize = c.blockSize;
        });
        fake.ClearRecord();
        TestUnit unit(c.first, c.last);
        for (std::uint32_t address = c.unmaskedFirst; address <= c.unmaskedLast; ++address) {
            unit.Mask(address) = 0;
        }
        EXPECT_TRUE(Run(operation::kReadCommand, unit));
        EXPECT_EQ(Transfers(), c.transfers);
    }
}

TEST_F(DeviceOperationTest, NoTransferCrossesABlockOrCoversAByteWithoutMask) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        const std::uint32_t blockSize = std::uniform_int_distribution<std::uint32_t>(1, 40)(random);
        const std::uint32_t first = std::uniform_int_distribution<std::uint32_t>(0, 300)(random);
        const std::uint32_t last = first + std::uniform_int_distribution<std::uint32_t>(0, 200)(random);
        SetBlockSize(blockSize);
        fake.ClearRecord();
        TestUnit unit(first, last);
        for (auto& mask : unit.mask) {
            mask = std::uniform_int_distribution<int>(0, 3)(random) == 0 ? 0 : 0xFF;
        }
        ASSERT_TRUE(Run(operation::kReadCommand, unit));
        std::set<std::uint32_t> covered;
        std::uint32_t next = first;
        for (const Transfer& transfer : Transfers()) {
            ASSERT_GE(transfer.address, next) << "transfers go forward";
            ASSERT_LE(transfer.address % blockSize + transfer.length, blockSize) << transfer;
            for (std::uint32_t address = transfer.address; address < transfer.address + transfer.length;
                 ++address) {
                ASSERT_NE(unit.Mask(address), 0) << transfer;
                covered.insert(address);
            }
            next = transfer.address + transfer.length;
        }
        for (std::uint32_t address = first; address <= last; ++address) {
            ASSERT_EQ(covered.count(address), unit.Mask(address) != 0 ? 1u : 0u) << address;
        }
    }
}

// Progress

TEST_F(DeviceOperationTest, ProgressNamesEachStepAndNeverGoesBackwards) {
    TestUnit unit(0x05, 0x44);
    unit.Mask(0x20) = 0;
    EXPECT_TRUE(Run(operation::kProgramCommand, unit));
    std::vector<std::string> texts;
    std::uint32_t position = 0;
    for (const auto& event : owner.Events()) {
        switch (event.kind) {
            case Kind::ProgressText:
                texts.push_back(event.text);
                break;
            case Kind::ProgressRange:
                EXPECT_EQ(event.value, 0x05u);
                EXPECT_EQ(event.last, 0x44u);
                position = event.value;
                break;
            case Kind::ProgressPosition:
                EXPECT_GE(event.value, position);
                EXPECT_LE(event.value, 0x45u);
                position = event.value;
                break;
            default:
                break;
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Prepare data...", "Program...", "Verify..."}));
    EXPECT_EQ(position, 0x45u);
}

// Read

TEST_F(DeviceOperationTest, ReadMergesInsideTheMaskOnly) {
    SetChip(0x00, {0xAB, 0xCD, 0xEF});
    TestUnit unit(0x00, 0x02, 0x50);
    unit.Mask(0x00) = 0x0F;
    unit.Mask(0x01) = 0xFF;
    unit.Mask(0x02) = 0x00;
    EXPECT_TRUE(Run(operation::kReadCommand, unit));
    EXPECT_EQ(unit.image, (std::vector<std::uint8_t>{0x5B, 0xCD, 0x50}));
}

TEST_F(DeviceOperationTest, FixedByteIsPreparedWrittenAndReadLikeAnyOther) {
    TestUnit unit(0x00, 0x01, 0x11);
    unit.unit.flags = kUnitFixedByte;
    unit.unit.fixedByte = 0xA0;
    EXPECT_TRUE(Run(operation::kProgramCommand, unit));
    EXPECT_EQ(Transfers(), (std::vector<Transfer>{R(0x00, 2), W(0x00, 2), R(0x00, 2)}));
    EXPECT_EQ(Chip(0x00), 0xA0);
    EXPECT_EQ(Chip(0x01), 0x11);
    // Preparing writes the fixed byte into the unit's own image as well.
    EXPECT_EQ(unit.Image(0x00), 0xA0);
    fake.ClearRecord();
    TestUnit read(0x00, 0x01);
    read.unit.flags = kUnitFixedByte;
    EXPECT_TRUE(Run(operation::kReadCommand, read));
    EXPECT_EQ(Transfers(), (std::vector<Transfer>{R(0x00, 2)}));
    EXPECT_EQ(read.Image(0x00), 0xA0);
}

// No abandons without another transfer.
TEST_F(DeviceOperationTest, AbandonedReadKeepsWhatItMerged) {
    SetChip(0x00, std::vector<std::uint8_t>(0x30, 0x77));
    fake.Configure([](fake::Config& config) { config.faults = {{CallKind::Read, 2, 1, 0}}; });
    owner.AnswerQuestions({false});
    TestUnit unit(0x00, 0x2F);
    EXPECT_FALSE(Run(operation::kReadCommand, unit));
    EXPECT_EQ(Transfers(), (std::vector<Transfer>{R(0x00, 16), R(0x10, 16)}));
    EXPECT_EQ(unit.Image(0x0F), 0x77);
    EXPECT_EQ(unit.Image(0x10), 0x00);
}

// Program

TEST_F(DeviceOperationTest, BusyChipIsRetriedWithinTheProgramPulse) {
    fake.Configure([](fake::Config& config) { config.busyCallsAfterWrite = 3; });
    settings.pulsePGM = 1000;
    TestUnit unit(0x00, 0x2F, 0x42);
    EXPECT_TRUE(Run(operation::kPrepareData | operation::kProgram, unit));
    EXPECT_TRUE(Questions().empty());
    // The first page is accepted at once; each later one after three refusals.
    EXPECT_EQ(fake.Calls(CallKind::Write).size(), 1u + 4u + 4u);
    EXPECT_EQ(fake.Memory()[0x2F], 0x42);
}

TEST_F(DeviceOperationTest, WithoutProgramPulseEachAttemptWritesOnce) {
    fake.Configure([](fake::Config& config) { config.busyCallsAfterWrite = 1; });
    settings.pulsePGM = 0;
    owner.AnswerQuestions({true});
    TestUnit unit(0x00, 0x1F, 0x42);
    EXPECT_TRUE(Run(operation::kPrepareData | operation::kProgram, unit));
    EXPECT_EQ(Transfers(),
              (std::vector<Transfer>{R(0x00, 16), R(0x10, 16), W(0x00, 16), W(0x10, 16), W(0x10, 16)}));
    EXPECT_EQ(Questions(),
              (std::vector<std::string>{"Device access error!\nDo you want to try again?\n[0x10]"}));
}

TEST_F(DeviceOperationTest, ProgramPulseRunningOutIsAnAccessErrorWithTheLastLength) {
    settings.pulsePGM = 5;
    fake.Configure([](fake::Config& config) {
        config.busyCallsAfterWrite = 1000000;
        config.faults = {{CallKind::Write, 1, 0, 16}};
    });
    TestUnit unit(0x00, 0x1F, 0x42);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(Run(operation::kPrepareData | operation::kProgram, unit));
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(5));
    EXPECT_GT(fake.Calls(CallKind::Write).size(), 2u);
    EXPECT_EQ(Questions(),
              (std::vector<std::string>{"Device access error!\nDo you want to try again?\n[0x10]"}));
}

TEST_F(DeviceOperationTest, ProgramRestsForTheFixatePulseUnlessAbandoned) {
    settings.pulseFix = 20000;
    settings.pulsePGM = 0;
    fake.Configure([](fake::Config& config) { config.faults = {{CallKind::Write, 1, 1, 0}}; });
    TestUnit unit(0x00, 0x0F, 0x42);
    auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(Run(operation::kProgramCommand, unit));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    settings.pulseFix = 60;
    began = std::chrono::steady_clock::now();
    EXPECT_TRUE(Run(operation::kProgramCommand, unit));
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(60));
}

// Verify

TEST_F(DeviceOperationTest, VerifyIgnoresBitsOutsideTheMask) {
    SetChip(0x00, {0x0F, 0xFF});
    TestUnit unit(0x00, 0x01, 0x00);
    unit.Mask(0x00) = 0xF0;
    unit.Mask(0x01) = 0x00;
    EXPECT_TRUE(Run(operation::kVerifyCommand, unit));
    EXPECT_TRUE(owner.Events(Kind::ReportDifference).empty());
}

TEST_F(DeviceOperationTest, VerifyReportsTheFirstDifferenceAndStops) {
    SetBlockSize(64);
    std::vector<std::uint8_t> chip(0x200, 0x00);
    chip[0x123] = 0xFF;
    chip[0x150] = 0xFF;
    SetChip(0x00, chip);
    TestUnit unit(0x00, 0x1FF, 0x00);
    EXPECT_FALSE(Run(operation::kVerifyCommand, unit));
    const auto reports = owner.Events(Kind::ReportDifference);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "Wrong value (0xFF <> 0x0) at location 0x123\nOperation will be skipped.");
    // The prepare step reads the whole unit; the verify step stops in the block of the difference.
    EXPECT_EQ(Transfers().back(), R(0x100, 64));
    std::size_t verifyReads = 0;
    for (const Transfer& transfer : Transfers()) {
        verifyReads += transfer.address == 0x100 ? 1 : 0;
    }
    EXPECT_EQ(verifyReads, 2u);
}

// The report shows both bytes whole, and the image is left alone.
TEST_F(DeviceOperationTest, VerifyReportsBytesUnmaskedAndLeavesTheImageAlone) {
    SetChip(0x40, {0x3C});
    TestUnit unit(0x40, 0x40, 0xA5);
    unit.Mask(0x40) = 0xF0;
    EXPECT_FALSE(Run(operation::kVerify, unit));
    EXPECT_EQ(owner.Events(Kind::ReportDifference).at(0).text,
              "Wrong value (0x3C <> 0xA5) at location 0x40\nOperation will be skipped.");
    EXPECT_EQ(unit.Image(0x40), 0xA5);
}

// A verify read that comes back short, or fails, compares nothing: the question comes first, naming the first
// byte not compared, and Yes reads from there again, so that no byte passes unverified.
TEST_F(DeviceOperationTest, IncompleteVerifyReadAsksFirstAndYesReadsItAgain) {
    const struct {
        const char* name;
        fake::TransferFault fault;
    } cases[] = {
        {"short", {CallKind::Read, 1, 0, 4}},
        {"failed with full length", {CallKind::Read, 1, 4, 16}},
    };
    SetChip(0x00, {0x00, 0x00, 0x99});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Configure([&c](fake::Config& config) { config.faults = {c.fault}; });
        fake.ClearRecord();
        RecordingOwner answering;
        answering.AnswerQuestions({true});
        TestUnit unit(0x00, 0x0F, 0x00);
        EXPECT_FALSE(DeviceOperation(plugin, answering, settings, stop.get_token())
                         .Run(operation::kVerify, unit.unit));
        const auto boxes = answering.Events();
        std::vector<std::string> texts;
        for (const auto& event : boxes) {
            if (event.kind == Kind::AskRetryAccess || event.kind == Kind::ReportDifference) {
                texts.push_back(event.text);
            }
        }
        EXPECT_EQ(texts, (std::vector<std::string>{
                             "Device access error!\nDo you want to try again?\n[0x0]",
                             "Wrong value (0x99 <> 0x0) at location 0x2\nOperation will be skipped."}));
        EXPECT_EQ(Transfers(), (std::vector<Transfer>{R(0x00, 16), R(0x00, 16)}));
    }
}

// Access errors

// Each failed read asks once, with the address of the first byte missing, and a Yes goes on from there: a
// short read with its missing bytes, a failure with full length with the next chunk, and a plain failure with
// the whole chunk again. The bytes of a failed read are not taken.
TEST_F(DeviceOperationTest, FailedReadAsksOnceAndYesGoesOnFromTheMissingByte) {
    const struct {
        const char* name;
        fake::TransferFault fault;
        std::vector<Transfer> transfers;
        std::string address;
        std::uint8_t imageAt0;
    } cases[] = {
        {"short", {CallKind::Read, 1, 0, 10}, {R(0x00, 16), R(0x0A, 6), R(0x10, 16)}, "0xA", 0x66},
        {"failed with full length", {CallKind::Read, 1, 4, 16}, {R(0x00, 16), R(0x10, 16)}, "0x10", 0x00},
        {"failed", {CallKind::Read, 1, 2, 0}, {R(0x00, 16), R(0x00, 16), R(0x10, 16)}, "0x0", 0x66},
    };
    SetChip(0x00, std::vector<std::uint8_t>(0x20, 0x66));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Configure([&c](fake::Config& config) { config.faults = {c.fault}; });
        fake.ClearRecord();
        RecordingOwner answering;
        answering.AnswerQuestions({true});
        TestUnit unit(0x00, 0x1F);
        EXPECT_TRUE(DeviceOperation(plugin, answering, settings, stop.get_token())
                        .Run(operation::kReadCommand, unit.unit));
        ASSERT_EQ(answering.Count(Kind::AskRetryAccess), 1u);
        EXPECT_EQ(answering.Events(Kind::AskRetryAccess)[0].text,
                  "Device access error!\nDo you want to try again?\n[" + c.address + "]");
        EXPECT_EQ(Transfers(), c.transfers);
        EXPECT_EQ(unit.Image(0x00), c.imageAt0);
        EXPECT_EQ(unit.Image(0x1F), 0x66);
    }
}

TEST_F(DeviceOperationTest, QuestionTextComesFromTheMessageTable) {
    MessageTable& table = ProcessMessageTable();
    table.Create();
    table.Store(msg::kAskRetryDeviceAccess, "Zugriffsfehler");
    fake.Configure([](fake::Config& config) { config.faults = {{CallKind::Read, 1, 1, 0}}; });
    TestUnit unit(0x1230, 0x123F);
    EXPECT_FALSE(Run(operation::kReadCommand, unit));
    table.Free();
    EXPECT_EQ(Questions(), (std::vector<std::string>{"Zugriffsfehler\n[0x1230]"}));
}

// The question asks to try a transfer again, which changes nothing else: Yes is its default.
TEST(AccessErrorQuestionTest, IsAQuestionWithYesAsItsDefault) {
    test::RecordingPrompt prompt(true);
    EXPECT_TRUE(AskAccessErrorQuestion(prompt, "Device access error!\nDo you want to try again?\n[0x10]"));
    EXPECT_EQ(prompt.boxes, (std::vector<test::RecordingPrompt::Box>{
                                {"", "Device access error!\nDo you want to try again?\n[0x10]",
                                 PromptIcon::Question, PromptAnswer::Yes}}));
}

// Setting up and stopping

TEST_F(DeviceOperationTest, UnitWithoutImagesIsAbandonedBeforeAnyStep) {
    TestUnit unit(0x00, 0x0F);
    unit.unit.programMask = nullptr;
    EXPECT_FALSE(Run(operation::kReadCommand, unit));
    EXPECT_TRUE(Transfers().empty());
    EXPECT_TRUE(owner.Events().empty());
}

TEST_F(DeviceOperationTest, StopRequestAbandonsBeforeTheNextChunk) {
    stop.request_stop();
    TestUnit unit(0x00, 0x0F);
    EXPECT_FALSE(Run(operation::kReadCommand, unit));
    EXPECT_TRUE(Transfers().empty());
}

// Notices

// Only Program with its verify step and Verify alone have notices, and each can be switched off.
TEST(CompletionNoticeTest, ProgramWithVerifyAndVerifyAloneHaveTheirNotices) {
    WorkerSettings quiet;
    quiet.confirmProgram = false;
    quiet.confirmVerify = false;
    const struct {
        OperationMask operation;
        WorkerSettings settings;
        std::vector<std::string> texts;
    } cases[] = {
        {operation::kProgramCommand, {}, {"Program successfully complete"}},
        {operation::kVerifyCommand, {}, {"Verify sucessfully complete"}},
        {operation::kReadCommand, {}, {}},
        {operation::kPrepareData | operation::kProgram, {}, {}},
        {operation::kProgramCommand, quiet, {}},
        {operation::kVerifyCommand, quiet, {}},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        ShowCompletionNotices(c.operation, c.settings, owner, {});
        std::vector<std::string> shown;
        for (const auto& event : owner.Events()) {
            shown.push_back(event.text);
        }
        EXPECT_EQ(shown, c.texts) << c.operation;
    }
}

}  // namespace
}  // namespace tessaly
