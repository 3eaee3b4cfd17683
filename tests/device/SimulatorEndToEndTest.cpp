// The device layer against the chip simulator plug-in, loaded from the executables' directory as the
// desktop loads it. Each test keeps the simulator's chip files in a directory of its own.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "LoadedTemplate.h"
#include "QuickSettings.h"
#include "RecordingOwner.h"
#include "SimulatorSandbox.h"
#include "SimulatorSession.h"

namespace tessaly {
namespace {

using test::LoadedTemplate;
using test::RecordingOwner;
using test::SimulatorSandbox;
using test::SimulatorSession;
using Kind = RecordingOwner::Kind;
using namespace std::chrono_literals;

WorkerSettings SimSettings() {
    return test::QuickSettings(50, 1);
}

class SimulatorTest : public ::testing::Test {
  protected:
    std::unique_ptr<SimulatorSession> Open(const std::string& port) {
        auto session = std::make_unique<SimulatorSession>(port, SimSettings());
        EXPECT_TRUE(session->started);
        EXPECT_TRUE(session->reported);
        return session;
    }

    void SetFaults(const std::string& faults) { environment_.SetFaults(faults); }

    static std::string ExamplePath() {
        const char* source = std::getenv("TESSALY_SOURCE_DIR");
        return std::string(source == nullptr ? "." : source) + "/examples/board-24c02.dev";
    }

    // Destroyed after every session of a test, which all end within its body.
    SimulatorSandbox environment_{200us};
};

TEST_F(SimulatorTest, ReadyChipIsReportedWithTheSimulatorsTexts) {
    auto session = Open("24C02");
    EXPECT_EQ(session->State(), DeviceState::Ready);
    ASSERT_EQ(session->Texts(Kind::FirmwareText).size(), 1u);
    EXPECT_NE(session->Texts(Kind::FirmwareText)[0].find("24C02"), std::string::npos);
    EXPECT_NE(session->Texts(Kind::PluginText)[0], "");
}

TEST_F(SimulatorTest, UnknownPortMissingDriverAndMissingChipAreReported) {
    const struct {
        const char* port;
        const char* faults;
        DeviceState state;
    } cases[] = {{"24C99", "", DeviceState::NoDriver},
                 {"24C02", "nodriver", DeviceState::NoDriver},
                 {"24C02", "nochip", DeviceState::NoChip}};
    for (const auto& c : cases) {
        SetFaults(c.faults);
        EXPECT_EQ(Open(c.port)->State(), c.state) << c.port << " " << c.faults;
    }
}

TEST_F(SimulatorTest, ProgramThenReadBackInANewSessionThenVerify) {
    LoadedTemplate written(0xFF, ExamplePath());
    ASSERT_TRUE(written.Loaded());
    const std::vector<std::pair<std::string_view, std::string_view>> values = {
        {"Serial number", "20240611"},  {"Product variant", "Pro"},
        {"Board name", "Tessaly test"}, {"DHCP", "On"},
        {"Link speed", "100 Mbit/s"},   {"Host name", "bench-7"},
        {"ADC offset", "1234"},         {"Temperature limit (C)", "85"},
    };
    for (const auto& [name, value] : values) {
        ASSERT_TRUE(written.SetValue(written.ItemIndex(name), value)) << name;
    }
    {
        auto session = Open("24C02");
        ASSERT_TRUE(session->Run(operation::kProgramCommand, written.UnitAt()));
        EXPECT_TRUE(session->Texts(Kind::AskRetryAccess).empty());
        EXPECT_TRUE(session->Texts(Kind::ReportDifference).empty());
        EXPECT_EQ(session->Texts(Kind::NotifyCompletion),
                  (std::vector<std::string>{"Program successfully complete"}));
    }
    LoadedTemplate read(0x00, ExamplePath());
    {
        auto session = Open("24C02");
        ASSERT_TRUE(session->Run(operation::kReadCommand, read.UnitAt()));
        EXPECT_EQ(session->owner.Count(Kind::ReadDone), 1u);
    }
    for (std::uint32_t item = 0; item < written.UnitAt().itemCount; ++item) {
        EXPECT_EQ(read.Value(item), written.Value(item)) << "item " << item;
    }
    EXPECT_EQ(read.Value(read.ItemIndex("Board name")), "Tessaly test");
    auto session = Open("24C02");
    ASSERT_TRUE(session->Run(operation::kVerifyCommand, written.UnitAt()));
    EXPECT_EQ(session->Texts(Kind::NotifyCompletion),
              (std::vector<std::string>{"Verify sucessfully complete"}));
}

// The nibble is programmed over the chip's own low nibble; Verify then reports the whole byte.
TEST_F(SimulatorTest, ByteWithMaskF0KeepsTheChipsOwnLowNibbleAndVerifyReportsIt) {
    LoadedTemplate raw({"[Raw, I2C8]", "Byte = NUM, 21, 0-FF, HEX"});
    LoadedTemplate nibble({"[Nibble, I2C8]", "High = NUM, 21.4-21.7, 0-F, HEX"}, 0x00);
    ASSERT_TRUE(raw.Loaded());
    ASSERT_TRUE(nibble.Loaded());
    ASSERT_EQ(nibble.UnitAt().programMask[0], 0xF0);
    ASSERT_TRUE(raw.SetValue(0, "3C"));
    ASSERT_TRUE(nibble.SetValue(0, "A"));
    auto session = Open("24C02");
    ASSERT_TRUE(session->Run(operation::kProgramCommand, raw.UnitAt()));
    ASSERT_TRUE(session->Run(operation::kProgramCommand, nibble.UnitAt()));
    LoadedTemplate check({"[Raw, I2C8]", "Byte = NUM, 21, 0-FF, HEX"}, 0x00);
    ASSERT_TRUE(session->Run(operation::kReadCommand, check.UnitAt()));
    EXPECT_EQ(check.Value(0), "AC");
    EXPECT_TRUE(session->Texts(Kind::AskRetryAccess).empty());
    ASSERT_TRUE(session->Run(operation::kVerifyCommand, raw.UnitAt()));
    EXPECT_EQ(session->Texts(Kind::ReportDifference),
              (std::vector<std::string>{
                  "Wrong value (0xAC <> 0x3C) at location 0x21\nOperation will be skipped."}));
}

TEST_F(SimulatorTest, WideUnitIsProgrammedAcrossAWholeChip) {
    // 256 strings of 256 bytes cover the 24C512's 64 KiB.
    std::vector<std::string> lines = {"[Whole, I2C16]"};
    for (std::uint32_t first = 0; first < 0x10000; first += 0x100) {
        char line[64];
        std::snprintf(line, sizeof line, "S%X = STRING, %X-%X, ASCIIZ", first, first, first + 0xFF);
        lines.push_back(line);
    }
    LoadedTemplate wide(std::vector<std::string_view>(lines.begin(), lines.end()), 0x00);
    ASSERT_TRUE(wide.Loaded());
    ASSERT_EQ(wide.UnitAt().ImageSize(), 0x10000u);
    for (std::uint32_t item = 0; item < wide.UnitAt().itemCount; ++item) {
        ASSERT_TRUE(wide.SetValue(item, "page " + std::to_string(item * 7)));
    }
    auto session = Open("24C512");
    ASSERT_TRUE(session->Run(operation::kProgramCommand, wide.UnitAt()));
    EXPECT_TRUE(session->Texts(Kind::AskRetryAccess).empty());
    EXPECT_TRUE(session->Texts(Kind::ReportDifference).empty());
    EXPECT_EQ(session->Texts(Kind::NotifyCompletion),
              (std::vector<std::string>{"Program successfully complete"}));
    LoadedTemplate back(std::vector<std::string_view>(lines.begin(), lines.end()), 0xFF);
    ASSERT_TRUE(session->Run(operation::kReadCommand, back.UnitAt()));
    EXPECT_EQ(back.Value(0xFF), "page " + std::to_string(0xFF * 7));
}

TEST_F(SimulatorTest, WrongAddressingModeIsADeviceAccessError) {
    LoadedTemplate wide({"[Wide, I2C16]", "Byte = NUM, 21, 0-FF, HEX"}, 0x00);
    auto session = Open("24C02");
    ASSERT_TRUE(session->Run(operation::kReadCommand, wide.UnitAt()));
    EXPECT_EQ(session->Texts(Kind::AskRetryAccess),
              (std::vector<std::string>{"Device access error!\nDo you want to try again?\n[0x21]"}));
    EXPECT_EQ(session->owner.Count(Kind::ReadDone), 0u);
}

}  // namespace
}  // namespace tessaly
