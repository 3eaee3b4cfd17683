#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FakeLibrary.h"
#include "QuickSettings.h"
#include "RecordingOwner.h"
#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "TestUnit.h"
#include "device/DeviceOperation.h"

namespace tessaly {
namespace {

using test::RecordingOwner;
using test::TestUnit;
using namespace std::chrono_literals;

// The log entries of a difference report, and of questions naming these addresses.
std::string Reported(const char* bytes, const char* address) {
    return std::string("ReportDifference Wrong value (") + bytes + ") at location " + address +
           "\nOperation will be skipped.";
}

std::string Asked(const std::vector<const char*>& addresses) {
    std::string log;
    for (const char* address : addresses) {
        log += std::string(log.empty() ? "" : " | ") +
               "AskRetryAccess Device access error!\nDo you want to try again?\n[" + address + "]";
    }
    return log;
}

class DeviceOperationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Load(test::kFakeProgrammer, test::kTestPluginDir));
        ASSERT_EQ(plugin.Attach("fake0"), kPluginOk);
    }

    // Runs the operation from an empty log, with a fresh owner that answers the questions as given.
    bool Run(OperationMask operation, TestUnit& unit, std::vector<bool> answers = {},
             const BackupFolder* backup = nullptr) {
        fake.ClearLog();
        owner = std::make_unique<RecordingOwner>();
        owner->answers = answers;
        return DeviceOperation(plugin, *owner, settings, stop.get_token()).Run(operation, unit.unit, backup);
    }
    std::string Transfers() const { return fake.Log({"R ", "W "}); }

    test::FakeLibrary fake;
    ProgrammerPlugin plugin;
    std::unique_ptr<RecordingOwner> owner;
    WorkerSettings settings = test::QuickSettings(20, 0);
    std::stop_source stop;
};

// Chunks end at block boundaries and at bytes without mask; a block size of 0 or one that comes with a
// failure is used as 1, and a huge one moves the unit at once.
TEST_F(DeviceOperationTest, ChunksFollowTheBlocksAndTheMask) {
    // The block size's status and value, the unit, the range of its bytes without mask (empty when reversed).
    const std::tuple<std::int32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                     const char*>
        cases[] = {
            {0, 16, 0x00, 0x3F, 1, 0, "R 0+16, R 16+16, R 32+16, R 48+16"},
            {0, 16, 0x05, 0x24, 1, 0, "R 5+11, R 16+16, R 32+5"},
            {0, 16, 0x00, 0x0F, 0x08, 0x0B, "R 0+8, R 12+4"},
            {0, 16, 0x00, 0x3F, 0x00, 0x3F, ""},
            {0, 0, 0x10, 0x12, 1, 0, "R 16+1, R 17+1, R 18+1"},
            {3, 64, 0x10, 0x11, 1, 0, "R 16+1, R 17+1"},
            {0, 0xFFFFFFFF, 0x100, 0x1FF, 1, 0, "R 256+256"},
        };
    for (const auto& [status, blockSize, first, last, unmaskedFirst, unmaskedLast, transfers] : cases) {
        // Init-captures: clang 14 cannot capture a structured binding itself.
        fake.Configure([blockSize = blockSize, status = status](fake::Config& config) {
            config.session[PGM_SESSION_BLOCK_SIZE] = blockSize;
            config.statuses = {{"Get", status}};
        });
        TestUnit unit(first, last);
        for (std::uint32_t address = unmaskedFirst; address <= unmaskedLast; ++address) {
            unit.Mask(address) = 0;
        }
        EXPECT_TRUE(Run(operation::kReadCommand, unit));
        EXPECT_EQ(Transfers(), transfers);
    }
}

// Each step names itself, and the position runs over the unit's addresses, one past the last at a step's
// end; Program prepares the unit's derived fields in its own image and writes them.
TEST_F(DeviceOperationTest, ProgramPreparesWritesAndVerifiesWithItsProgress) {
    TestUnit unit(0x05, 0x14, 0x11);
    unit.unit.flags = kUnitFixedByte;
    unit.unit.fixedByte = 0xA0;
    unit.Mask(0x10) = 0;
    EXPECT_TRUE(Run(operation::kProgramCommand, unit));
    EXPECT_EQ(Transfers(), "R 5+11, R 17+4, W 5+11, W 17+4, R 5+11, R 17+4");
    const std::string step =
        "ProgressRange 5-20 | ProgressPosition 16 | ProgressPosition 17 | ProgressPosition 21 | ";
    EXPECT_EQ(owner->Log({"ProgressText", "ProgressRange", "ProgressPosition"}),
              "ProgressText Prepare data... | " + step + "ProgressPosition 21 | ProgressText Program... | " +
                  step + "ProgressPosition 21 | ProgressText Verify... | " + step + "ProgressPosition 21");
    EXPECT_EQ(unit.Image(0x05), 0xA0);
    EXPECT_EQ(fake.Chip(0x05), 0xA0);
    EXPECT_EQ(fake.Chip(0x14), 0x11);
}

// A read that fails though it claims every byte asks at the next chunk, and Yes goes on from there without
// taking its bytes. No abandons the read with what it merged so far.
TEST_F(DeviceOperationTest, FailedReadAsksOnceAndGoesOnAsAnswered) {
    // The fault, the answer, the transfers and the image at 0x00 and 0x1F afterwards.
    const std::tuple<fake::TransferFault, bool, const char*, std::uint8_t, std::uint8_t> cases[] = {
        {{'R', 1, 1, 4, 16}, true, "R 0+16, R 16+16", 0x00, 0x66},
        {{'R', 2, 2, 1, 0}, false, "R 0+16, R 16+16", 0x66, 0x00}};
    for (const auto& [fault, answer, transfers, first, last] : cases) {
        fake.Configure([fault = fault](fake::Config& config) {
            config.memory.assign(0x20, 0x66);
            config.faults = {fault};
        });
        TestUnit unit(0x00, 0x1F);
        EXPECT_EQ(Run(operation::kReadCommand, unit, {answer}), answer);
        EXPECT_EQ(owner->Log({"AskRetryAccess"}), Asked({"0x10"}));
        EXPECT_EQ(Transfers(), transfers);
        EXPECT_EQ(unit.Image(0x00), first) << answer;
        EXPECT_EQ(unit.Image(0x1F), last) << answer;
    }
}

// Only the bits inside the mask are compared; a difference is reported with both bytes whole, and the
// image is left alone. The whole unit is compared before the first difference is reported with the list of
// every byte that differs (bytes no item owns, here).
TEST_F(DeviceOperationTest, VerifyComparesInsideTheMaskAndReportsEveryDifference) {
    for (const std::uint8_t chip : {0xA3, 0x3C}) {
        fake.Configure([chip](fake::Config& config) { config.memory[0x40] = chip; });
        TestUnit unit(0x40, 0x40, 0xA5, 0xF0);
        EXPECT_EQ(Run(operation::kVerify, unit), chip == 0xA3);
        EXPECT_EQ(owner->Log({"ReportDifference"}), chip == 0xA3 ? "" : Reported("0x3C <> 0xA5", "0x40"));
        EXPECT_EQ(unit.Image(0x40), 0xA5);
    }
    fake.Configure([](fake::Config& config) {
        config.session[PGM_SESSION_BLOCK_SIZE] = 0x40;
        config.memory.assign(0x100, 0x00);
        config.memory[0x83] = config.memory[0x90] = 0xFF;
    });
    TestUnit unit(0x00, 0xFF, 0x00);
    EXPECT_FALSE(Run(operation::kVerifyCommand, unit));
    EXPECT_EQ(owner->Log({"ReportDifference"}), Reported("0xFF <> 0x0", "0x83"));
    EXPECT_EQ(Transfers(), "R 0+64, R 64+64, R 128+64, R 192+64, R 0+64, R 64+64, R 128+64, R 192+64");
    ASSERT_EQ(owner->differences.size(), 2u);
    EXPECT_EQ(
        owner->differences[1].name + " " + owner->differences[1].chip + " " + owner->differences[1].expected,
        "@0090 FF 00");
}

// Program writes only the chunks whose masked bits the chip does not hold yet (an unchanged chip, which
// gets no write at all, is the simulator test's).
TEST_F(DeviceOperationTest, ProgramLeavesOutChunksTheChipAlreadyHolds) {
    fake.Configure([](fake::Config& config) {
        config.memory.assign(0x100, 0x5A);
        config.memory[0x15] = 0;
    });
    TestUnit unit(0x00, 0x1F, 0x5A);
    EXPECT_TRUE(Run(operation::kProgramCommand, unit));
    EXPECT_EQ(Transfers(), "R 0+16, R 16+16, W 16+16, R 0+16, R 16+16");
}

// With a backup folder the prepare step reads every byte, mask or not, and the backup holds the chip as it
// was. A failed read that is abandoned, or a save that fails and is not overridden, writes nothing.
TEST_F(DeviceOperationTest, BackupHoldsTheWholeChipBeforeAnyWrite) {
    test::TempDirectory root;
    root.Write("file", "");
    std::string chipBefore;
    for (char byte = 0; byte < 0x20; ++byte) {
        chipBefore += byte;
    }
    // The folder, the read fault, the answers, the questions asked, whether it writes.
    const std::tuple<std::string, std::vector<fake::TransferFault>, std::vector<bool>, const char*, bool>
        cases[] = {
            {"ok", {}, {}, "", true},
            {"ok", {{'R', 2, 2, 1, 16}}, {true}, "AskRetryAccess", true},
            {"ok", {{'R', 2, 2, 1, 16}}, {false}, "AskRetryAccess", false},
            {"file/sub", {}, {false}, "AskProgramWithoutBackup", false},
            {"file/sub", {}, {true}, "AskProgramWithoutBackup", true},
        };
    for (const auto& [folder, faults, answers, question, writes] : cases) {
        fake.Configure([&faults = faults, &chipBefore](fake::Config& config) {
            std::copy(chipBefore.begin(), chipBefore.end(), config.memory.begin());
            config.faults = faults;
        });
        std::filesystem::remove_all(root.Path() / "ok");
        const BackupFolder backup(root.Path() / folder);
        TestUnit unit(0x00, 0x1F, 0xEE);
        unit.Mask(0x08) = 0;
        EXPECT_EQ(Run(operation::kProgramCommand, unit, answers, &backup), writes) << folder;
        EXPECT_EQ(owner->Log({"AskRetryAccess", "AskProgramWithoutBackup"}).substr(0, std::strlen(question)),
                  question);
        EXPECT_EQ(fake.Count("W "), writes ? 3u : 0u);
        const std::vector<std::filesystem::path> saved = backup.List("Test");
        ASSERT_EQ(saved.size(), folder == "ok" && (writes || faults.empty()) ? 1u : 0u) << folder;
        if (!saved.empty()) {
            EXPECT_EQ(owner->Log({"BackupSaved"}), "BackupSaved " + saved[0].string());
            EXPECT_EQ(test::ReadBytes(saved[0]), chipBefore);
        }
    }
}

// A chip busy with its write cycle refuses writes: each is repeated for up to pulsePGM (made at least once),
// and what is still refused then is an access error, answered Yes twice. A program step that ran to its end
// rests for pulseFix, one abandoned does not.
TEST_F(DeviceOperationTest, RefusedWriteIsRepeatedWithinTheProgramPulse) {
    // pulsePGM, the refused writes, the writes (at least, when the run does not complete), the questions.
    const std::tuple<std::int32_t, std::vector<fake::TransferFault>, std::size_t, std::vector<const char*>>
        cases[] = {
            {1000, {{'W', 2, 4, 1, 0}, {'W', 6, 8, 1, 0}}, 9, {}},
            {0, {{'W', 2, 2, 1, 0}, {'W', 4, 4, 1, 0}}, 5, {"0x10", "0x20"}},
            {5, {{'W', 2, 1000000, 1, 0}}, 4, {"0x10", "0x10", "0x10"}},
        };
    for (const auto& [pulse, refused, writes, questions] : cases) {
        fake.Configure([&refused = refused](fake::Config& config) {
            config.memory.assign(0x100, 0xFF);
            config.faults = refused;
        });
        const bool completes = questions.size() < 3;
        settings.pulsePGM = pulse;
        settings.pulseFix = completes ? 60 : 20000;
        TestUnit unit(0x00, 0x2F, 0x42);
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(Run(operation::kPrepareData | operation::kProgram, unit, {true, true}), completes);
        const auto took = std::chrono::steady_clock::now() - began;
        EXPECT_EQ(owner->Log({"AskRetryAccess"}), Asked(questions));
        if (completes) {
            EXPECT_GE(took, 60ms);
            EXPECT_EQ(fake.Count("W "), writes);
            EXPECT_EQ(fake.Chip(0x2F), 0x42);
        } else {
            EXPECT_GE(took, 3 * std::chrono::milliseconds(pulse));
            EXPECT_LT(took, 10s);
            EXPECT_GT(fake.Count("W "), writes);
        }
    }
}

TEST_F(DeviceOperationTest, UnitWithoutImagesOrAStopRequestIsAbandonedBeforeAnyTransfer) {
    TestUnit unit(0x00, 0x0F);
    unit.unit.programMask = nullptr;
    EXPECT_FALSE(Run(operation::kReadCommand, unit));
    EXPECT_EQ(owner->Log(), "");
    TestUnit stopped(0x00, 0x0F);
    stop.request_stop();
    EXPECT_FALSE(Run(operation::kReadCommand, stopped));
    EXPECT_EQ(Transfers(), "");
}

// The question asks to try a transfer again, which changes nothing else: Yes is its default.
TEST(AccessErrorQuestionTest, IsAQuestionWithYesAsItsDefault) {
    test::RecordingPrompt prompt(true);
    EXPECT_TRUE(AskAccessErrorQuestion(prompt, "Try again?"));
    EXPECT_EQ(prompt.boxes, (std::vector<test::RecordingPrompt::Box>{
                                {"", "Try again?", PromptIcon::Question, PromptAnswer::Yes}}));
}

// Only Program with its verify step and Verify alone have notices, and each can be switched off.
TEST(CompletionNoticeTest, ProgramWithVerifyAndVerifyAloneHaveTheirNotices) {
    WorkerSettings quiet;
    quiet.confirmProgram = quiet.confirmVerify = false;
    const std::tuple<OperationMask, WorkerSettings, const char*> cases[] = {
        {operation::kProgramCommand, {}, "NotifyCompletion Program successfully complete"},
        {operation::kVerifyCommand, {}, "NotifyCompletion Verify sucessfully complete"},
        {operation::kReadCommand, {}, ""},
        {operation::kPrepareData | operation::kProgram, {}, ""},
        {operation::kProgramCommand, quiet, ""},
        {operation::kVerifyCommand, quiet, ""},
    };
    for (const auto& [steps, settings, notice] : cases) {
        test::RecordingOwner owner;
        ShowCompletionNotices(steps, settings, owner, {});
        EXPECT_EQ(owner.Log(), notice) << steps;
    }
}

}  // namespace
}  // namespace tessaly
