// The device layer against the chip simulator plug-in, loaded from the executables' directory as the
// desktop loads it: the example board programmed into a simulated 24C02, read back in a new session and
// verified. The simulator keeps its chip files in a directory of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "LoadedTemplate.h"
#include "QuickSettings.h"
#include "SimulatorSandbox.h"
#include "SimulatorSession.h"

namespace tessaly {
namespace {

using test::LoadedTemplate;
using test::SimulatorSession;

TEST(SimulatorEndToEndTest, ProgramThenReadBackInANewSessionThenVerify) {
    // Destroyed after every session, which all end within the test.
    test::SimulatorSandbox sandbox(std::chrono::microseconds(200));
    const WorkerSettings settings = test::QuickSettings(50, 1);
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    const std::string path = std::string(source == nullptr ? "." : source) + "/examples/board-24c02.dev";
    LoadedTemplate written(0xFF, path);
    ASSERT_TRUE(written.Loaded());
    const std::pair<std::string_view, std::string_view> values[] = {{"Serial number", "20240611"},
                                                                    {"Board name", "Tessaly test"},
                                                                    {"DHCP", "On"},
                                                                    {"ADC offset", "1234"}};
    for (const auto& [name, value] : values) {
        ASSERT_TRUE(written.SetValue(written.ItemIndex(name), value)) << name;
    }
    {
        SimulatorSession session("24C02", settings);
        ASSERT_TRUE(session.started);
        EXPECT_THAT(session.owner.Log({"FirmwareText", "StoreState"}),
                    ::testing::MatchesRegex("FirmwareText .*24C02.* \\| StoreState 3"));
        ASSERT_TRUE(session.Run(operation::kProgramCommand, written.UnitAt()));
        EXPECT_EQ(session.owner.Log({"AskRetryAccess", "ReportDifference", "NotifyCompletion"}),
                  "NotifyCompletion Program successfully complete");
    }
    LoadedTemplate read(0x00, path);
    {
        SimulatorSession session("24C02", settings);
        ASSERT_TRUE(session.Run(operation::kReadCommand, read.UnitAt()));
        EXPECT_EQ(session.owner.Count("ReadDone"), 1u);
    }
    for (std::uint32_t item = 0; item < written.UnitAt().itemCount; ++item) {
        EXPECT_EQ(read.Value(item), written.Value(item)) << "item " << item;
    }
    SimulatorSession session("24C02", settings);
    ASSERT_TRUE(session.Run(operation::kVerifyCommand, written.UnitAt()));
    EXPECT_EQ(session.owner.Log({"AskRetryAccess", "ReportDifference", "NotifyCompletion"}),
              "NotifyCompletion Verify sucessfully complete");
}

}  // namespace
}  // namespace tessaly
