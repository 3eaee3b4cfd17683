// The example board programmed into the chip simulator's 24C02 through the worker, with a backup of the chip,
// read back in a new session, verified and programmed once more, which writes nothing, then programmed into
// a kernel-driven memory file through the nvmem plug-in; the simulator loads as the desktop loads it, and
// keeps its chip files in the test's sandbox.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FakeSysfs.h"
#include "LoadedTemplate.h"
#include "QuickSettings.h"
#include "SimulatorSandbox.h"
#include "WorkerSession.h"

namespace tessaly {
namespace {

TEST(SimulatorEndToEndTest, ProgramThenReadBackInANewSessionThenVerify) {
    // Destroyed after every session, which all end within the test.
    test::SimulatorSandbox sandbox(std::chrono::microseconds(200));
    const WorkerSettings settings = test::QuickSettings(50, 1);
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    const std::string path = std::string(source == nullptr ? "." : source) + "/examples/board-24c02.dev";
    test::LoadedTemplate written(0xFF, path);
    const BackupFolder backups(sandbox.Root() / "backups");
    ASSERT_TRUE(written.Loaded());
    ASSERT_TRUE(written.SetValue(written.ItemIndex("Serial number"), "20240611"));
    ASSERT_TRUE(written.SetValue(written.ItemIndex("Board name"), "Tessaly test"));
    {
        test::WorkerSession session(settings);
        ASSERT_TRUE(session.Start("24C02"));
        EXPECT_THAT(session.owner.Log({"FirmwareText", "StoreState"}),
                    ::testing::MatchesRegex("FirmwareText .*24C02.* \\| StoreState 3"));
        ASSERT_TRUE(session.Run(operation::kProgramCommand, written.UnitAt(), backups));
        EXPECT_EQ(session.owner.Log({"AskRetryAccess", "ReportDifference", "NotifyCompletion"}),
                  "NotifyCompletion Program successfully complete");
    }
    // The backup holds the chip as it was: erased.
    const std::vector<std::filesystem::path> saved = backups.List(written.UnitAt().name);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(test::ReadBytes(saved[0]), std::string(written.UnitAt().ImageSize(), '\xFF'));
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
    session.worker.Stop();
    // Programmed again, the chip holds every value already: any write the simulator were asked for would
    // fail.
    sandbox.SetFaults("write=1-1000000");
    ASSERT_TRUE(session.Start("24C02"));
    ASSERT_TRUE(session.Run(operation::kProgramCommand, written.UnitAt()));
    EXPECT_EQ(
        session.owner.Log({"AskRetryAccess", "NotifyCompletion"}),
        "NotifyCompletion Verify sucessfully complete | NotifyCompletion Program successfully complete");

    // A memory file that a kernel driver serves takes the same image, byte for byte.
    const test::FakeSysfs sysfs;
    const auto nvmem = sysfs.AddNvmem("0-00500", std::string(256, '\xFF'));
    test::WorkerSession kernelChip(settings);
    ASSERT_TRUE(kernelChip.Start("0-00500", "tessaly-nvmem.so"));
    ASSERT_TRUE(kernelChip.Run(operation::kProgramCommand, written.UnitAt()));
    const std::vector<std::uint8_t> chip = sandbox.ReadChip("24C02");
    EXPECT_EQ(test::ReadBytes(nvmem), std::string(chip.begin(), chip.end()));
}

// With no programmer at the configured location the worker reports it unplugged and stops at once.
TEST(SimulatorEndToEndTest, TheCh341aPluginWithoutItsProgrammerReportsItUnplugged) {
    test::WorkerSession session(test::QuickSettings(50, 1));
    ASSERT_TRUE(session.Start("9-9 I2C 100k", "tessaly-ch341a.so"));
    EXPECT_THAT(session.owner.Log({"StoreState"}), ::testing::EndsWith("StoreState 5"));
    EXPECT_TRUE(session.worker.Stop());
}

}  // namespace
}  // namespace tessaly
