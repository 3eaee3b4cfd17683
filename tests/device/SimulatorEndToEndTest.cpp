// The example board programmed into the chip simulator's 24C02 through the worker, read back in a new session
// and verified; the simulator loads as the desktop loads it, and keeps its chip files in the test's sandbox.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "LoadedTemplate.h"
#include "QuickSettings.h"
#include "SimulatorSandbox.h"
#include "WorkerSession.h"
#include "device/FullUnitImage.h"

namespace tessaly {
namespace {

TEST(SimulatorEndToEndTest, ProgramThenReadBackInANewSessionThenVerify) {
    // Destroyed after every session, which all end within the test.
    test::SimulatorSandbox sandbox(std::chrono::microseconds(200));
    const WorkerSettings settings = test::QuickSettings(50, 1);
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    const std::string path = std::string(source == nullptr ? "." : source) + "/examples/board-24c02.dev";
    test::LoadedTemplate written(0xFF, path);
    ASSERT_TRUE(written.Loaded());
    ASSERT_TRUE(written.SetValue(written.ItemIndex("Serial number"), "20240611"));
    ASSERT_TRUE(written.SetValue(written.ItemIndex("Board name"), "Tessaly test"));
    {
        test::WorkerSession session(settings);
        ASSERT_TRUE(session.Start("24C02"));
        EXPECT_THAT(session.owner.Log({"FirmwareText", "StoreState"}),
                    ::testing::MatchesRegex("FirmwareText .*24C02.* \\| StoreState 3"));
        ASSERT_TRUE(session.Run(operation::kProgramCommand, written.UnitAt()));
        EXPECT_EQ(session.owner.Log({"AskRetryAccess", "ReportDifference", "NotifyCompletion"}),
                  "NotifyCompletion Program successfully complete");
    }
    test::LoadedTemplate read(0x00, path);
    {
        test::WorkerSession session(settings);
        ASSERT_TRUE(session.Start("24C02"));
        ASSERT_TRUE(session.Run(operation::kReadCommand, read.UnitAt()));
        EXPECT_EQ(session.owner.Count("ReadDone"), 1u);
    }
    for (std::uint32_t item = 0; item < written.UnitAt().itemCount; ++item) {
        EXPECT_EQ(read.Value(item), written.Value(item)) << "item " << item;
    }
    test::WorkerSession session(settings);
    ASSERT_TRUE(session.Start("24C02"));
    ASSERT_TRUE(session.Run(operation::kVerifyCommand, written.UnitAt()));
    EXPECT_EQ(session.owner.Log({"AskRetryAccess", "ReportDifference", "NotifyCompletion"}),
              "NotifyCompletion Verify sucessfully complete");
}

// Program saves the chip as it was; programming the same values again writes nothing (every write the
// simulator is asked for would fail); restoring the backup puts the chip back as it was.
TEST(SimulatorEndToEndTest, BackupThenUnchangedProgramThenRestore) {
    test::SimulatorSandbox sandbox(std::chrono::microseconds(200));
    std::vector<std::uint8_t> before(256);
    for (std::size_t i = 0; i < before.size(); ++i) {
        before[i] = static_cast<std::uint8_t>(i * 7);
    }
    sandbox.WriteChip("24C02", before);
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    test::LoadedTemplate board(0xFF,
                               std::string(source == nullptr ? "." : source) + "/examples/board-24c02.dev");
    ASSERT_TRUE(board.Loaded());
    const BackupFolder backups(sandbox.Root() / "backups");
    {
        test::WorkerSession session(test::QuickSettings(50, 1));
        ASSERT_TRUE(session.Start("24C02"));
        ASSERT_TRUE(session.worker.Request(operation::kProgramCommand, &board.UnitAt(), backups));
        ASSERT_TRUE(session.owner.WaitFor("OperationEnded") && session.WaitUntilIdle());
        EXPECT_EQ(session.owner.Count("NotifyCompletion"), 1u);
    }
    const std::vector<std::filesystem::path> saved = backups.List(board.UnitAt().name);
    ASSERT_EQ(saved.size(), 1u);
    const std::string unitBefore = test::ReadBytes(saved[0]);
    EXPECT_EQ(unitBefore,
              std::string(before.begin() + board.UnitAt().start, before.begin() + board.UnitAt().end + 1));
    ASSERT_NE(sandbox.ReadChip("24C02"), before);
    sandbox.SetFaults("write=1-1000000");
    {
        test::WorkerSession session(test::QuickSettings(50, 1));
        ASSERT_TRUE(session.Start("24C02"));
        ASSERT_TRUE(session.Run(operation::kProgramCommand, board.UnitAt()));
        EXPECT_EQ(session.owner.Log({"AskRetryAccess", "NotifyCompletion"}),
                  "NotifyCompletion Program successfully complete");
    }
    sandbox.SetFaults("");
    FullUnitImage restore(board.UnitAt());
    ASSERT_TRUE(restore.Load({reinterpret_cast<const std::uint8_t*>(unitBefore.data()), unitBefore.size()}));
    test::WorkerSession session(test::QuickSettings(50, 1));
    ASSERT_TRUE(session.Start("24C02"));
    ASSERT_TRUE(session.Run(FullUnitImage::kRestore, restore.Target()));
    EXPECT_EQ(session.owner.Count("NotifyCompletion"), 1u);
    EXPECT_EQ(sandbox.ReadChip("24C02"), before);
}

}  // namespace
}  // namespace tessaly
