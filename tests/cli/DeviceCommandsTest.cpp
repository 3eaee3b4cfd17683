// read, program and verify through the chip simulator, found beside the executable as plug-ins are.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "CliTest.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

class DeviceCommandsTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        board = CopyBoardExample();
        ASSERT_EQ(Run(With({"set", board}, BoardValues())).status, 0);
    }

    CliOutput Device(const std::vector<std::string>& args, const std::vector<std::string>& environment = {}) {
        return Run(With(args, SimulatorOptions()), environment);
    }

    // The board's serial number as the chip holds it: four bytes from address 4, low byte first.
    std::uint32_t ChipSerial() const {
        const std::vector<std::uint8_t> chip = FileBytes(ChipFile());
        if (chip.size() < 8) {
            return 0;
        }
        return chip[4] | (chip[5] << 8) | (chip[6] << 16) | (static_cast<std::uint32_t>(chip[7]) << 24);
    }

    static std::string Question(const std::string& address) {
        return std::string(GetMessageText(msg::kAskRetryDeviceAccess)) + "\n[0x" + address + "]\n";
    }

    static std::size_t Count(const std::string& text, const std::string& part) {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
    }

    std::string board;
};

TEST_F(DeviceCommandsTest, ProgramWritesTheChipAndVerifyAgrees) {
    const CliOutput programmed = Device({"program", board});
    EXPECT_EQ(programmed.status, 0);
    EXPECT_EQ(programmed.out, std::string(GetMessageText(msg::kProgramComplete)) + "\n");
    EXPECT_EQ(programmed.err, "");
    EXPECT_EQ(ChipSerial(), 1000u);

    const CliOutput verified = Device({"verify", board});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.out, std::string(GetMessageText(msg::kVerifyComplete)) + "\n");
}

TEST_F(DeviceCommandsTest, ReadBringsBackTheChipsValuesAndListsThemButLeavesDisabledItems) {
    ASSERT_EQ(Device({"program", board}).status, 0);
    ASSERT_EQ(Run({"set", board, "Serial number=5", "Board name=other"}).status, 0);
    ASSERT_EQ(Device({"read", board, "--disable", "Serial number"}).status, 0);
    EXPECT_EQ(Run({"get", board, "Serial number", "Board name"}).out, "5\nTessaly\n");

    const CliOutput read = Device({"read", board});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.err, "");
    EXPECT_EQ(Lines(read.out).front(), "Board\t1\t1\tSerial number\t1000");
    EXPECT_EQ(Run({"get", board, "Serial number", "Board name"}).out, "1000\nTessaly\n");
}

TEST_F(DeviceCommandsTest, AProgressLineIsShownOnATerminalOnly) {
    const CliOutput terminal = Run(With({"program", board}, SimulatorOptions()), {}, StandardOutput::Captured,
                                   StandardError::Terminal);
    EXPECT_EQ(terminal.status, 0);
    for (const char* step : {"\rPrepare data...", "\rProgram...", "\rVerify..."}) {
        EXPECT_NE(terminal.err.find(step), std::string::npos) << step << " in " << terminal.err;
    }
    EXPECT_NE(terminal.err.find("100%"), std::string::npos);
    // The line is wiped at the end, leaving a carriage return as its last character.
    EXPECT_TRUE(terminal.err.ends_with("\r")) << terminal.err;
    EXPECT_EQ(Device({"program", board}).err, "");
}

// A reader that goes away (| head) or a full disk loses the listing, not the values read from the chip.
TEST_F(DeviceCommandsTest, ReadSavesTheChipsValuesWhenItsOutputCannotBeWritten) {
    ASSERT_EQ(Device({"program", board}).status, 0);
    for (const StandardOutput out : {StandardOutput::ClosedPipe, StandardOutput::FullDevice}) {
        ASSERT_EQ(Run({"set", board, "Serial number=5"}).status, 0);
        const CliOutput read = Run(With({"read", board}, SimulatorOptions()), {}, out);
        EXPECT_EQ(read.status, 2);
        EXPECT_EQ(read.err, "tessaly-cli: cannot write to standard output\n");
        EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1000\n");
    }
}

TEST_F(DeviceCommandsTest, VerifyReportsADifferenceAndExitsWithOne) {
    ASSERT_EQ(Device({"program", board}).status, 0);
    ASSERT_EQ(Run({"set", board, "Serial number=1001"}).status, 0);
    const CliOutput output = Device({"verify", board});
    EXPECT_EQ(output.status, 1);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, std::string(GetMessageText(msg::kWrongValue)) + " (0xE8 <> 0xE9) " +
                              GetMessageText(msg::kAtLocation) + " 0x4\n" +
                              GetMessageText(msg::kOperationSkipped) +
                              "\ntessaly-cli: verify found a difference in unit Board\n");
}

// Every enabled item with a wrong value is named, so that one run shows all there is to fix.
TEST_F(DeviceCommandsTest, EveryWrongValueIsNamedBeforeTheDeviceIsTouched) {
    const std::string fresh = CopyBoardExample("fresh.dev");
    std::vector<std::string> values = BoardValues();
    values.erase(values.begin() + 2, values.begin() + 4);  // year and week keep the fill, 255
    ASSERT_EQ(Run(With({"set", fresh}, values)).status, 0);
    for (const char* command : {"program", "verify"}) {
        const CliOutput output = Device({command, fresh});
        EXPECT_EQ(output.status, 2) << command;
        EXPECT_EQ(output.err,
                  "tessaly-cli: #3 Manufacture year (since 2000): '255' is wrong or above the maximum "
                  "(Number (decimal): 0-99)\n"
                  "tessaly-cli: #4 Manufacture week: '255' is wrong or above the maximum "
                  "(Number (decimal): 1-53)\n")
            << command;
    }
    EXPECT_FALSE(fs::exists(ChipFile()));
}

TEST_F(DeviceCommandsTest, ADisabledItemIsNeitherCheckedNorProgrammed) {
    ASSERT_EQ(Device({"program", board}).status, 0);
    ASSERT_EQ(Run({"set", board, "Serial number=2000"}).status, 0);
    ASSERT_EQ(Device({"program", board, "--disable", "Serial number"}).status, 0);
    EXPECT_EQ(ChipSerial(), 1000u);
    // A disabled item with a wrong value does not stop the program either.
    const std::string fresh = CopyBoardExample("fresh.dev");
    std::vector<std::string> values = BoardValues();
    values.erase(values.begin() + 3);  // Manufacture week keeps the fill, 255, above its maximum
    ASSERT_EQ(Run(With({"set", fresh}, values)).status, 0);
    EXPECT_EQ(Device({"program", fresh}).status, 2);
    EXPECT_EQ(Device({"program", fresh, "--disable", "Manufacture week"}).status, 0);
}

TEST_F(DeviceCommandsTest, ABatchOfFiveBoardsGetsConsecutiveSerialNumbers) {
    for (std::uint32_t board_number = 0; board_number < 5; ++board_number) {
        const CliOutput output = Device({"program", board, "--increment", "Serial number"});
        ASSERT_EQ(output.status, 0) << output.err;
        EXPECT_EQ(output.out, std::string(GetMessageText(msg::kProgramComplete)) + "\n");
        EXPECT_EQ(ChipSerial(), 1000u + board_number);
    }
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1005\n");
}

TEST_F(DeviceCommandsTest, IncrementNeedsANumberBelowItsMaximumAndTheCompanionFile) {
    EXPECT_EQ(Device({"program", board, "--increment", "Board name"}).status, 2);
    EXPECT_EQ(Device({"program", board, "--increment", "Serial number", "--no-save"}).status, 2);
    EXPECT_FALSE(fs::exists(ChipFile()));

    ASSERT_EQ(Run({"set", board, "Hardware revision=FF"}).status, 0);
    const CliOutput output = Device({"program", board, "--increment", "Hardware revision"});
    EXPECT_EQ(output.status, 2);
    EXPECT_NE(output.err.find("#2 Hardware revision: '100' is wrong or above the maximum"), std::string::npos)
        << output.err;
    EXPECT_EQ(Run({"get", board, "Hardware revision"}).out, "FF\n");
}

TEST_F(DeviceCommandsTest, AnAccessErrorIsAnsweredNoAndAbandonsTheProgramWithoutIncrementing) {
    const CliOutput output = Device({"program", board, "--increment", "Serial number", "--pulse-pgm", "0"},
                                    {"TESSALY_SIM_FAULTS=write=1-1000"});
    EXPECT_EQ(output.status, 1);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, Question("0") + "Answer: No\ntessaly-cli: program of unit Board was abandoned\n");
    const std::vector<std::uint8_t> chip = FileBytes(ChipFile());
    EXPECT_EQ(std::count(chip.begin(), chip.end(), 0xFF), static_cast<std::ptrdiff_t>(chip.size()));
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1000\n");
}

TEST_F(DeviceCommandsTest, YesRetriesUntilTheChipAnswersButGivesUpAfterTenTries) {
    const CliOutput output =
        Device({"program", board, "--yes", "--pulse-pgm", "0"}, {"TESSALY_SIM_FAULTS=write=1-2"});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, Question("0") + "Answer: Yes\n" + Question("0") + "Answer: Yes\n");
    EXPECT_EQ(ChipSerial(), 1000u);

    const CliOutput never =
        Device({"program", board, "--yes", "--pulse-pgm", "0"}, {"TESSALY_SIM_FAULTS=write=1-100000"});
    EXPECT_EQ(never.status, 1);
    EXPECT_EQ(Count(never.err, "Answer: Yes"), 10u);
    EXPECT_EQ(Count(never.err, "Answer: No"), 1u);
}

// A port the plug-in cannot open is told apart from a missing driver, with the ports that would do.
TEST_F(DeviceCommandsTest, ADeviceThatIsNotReadyFailsWithOneAndSaysWhy) {
    fs::create_directories(directory / "dev");
    fs::create_directories(directory / "sys" / "class" / "i2c-dev");
    const std::vector<std::string> noAdapters = {"TESSALY_I2C_DEV_ROOT=" + (directory / "dev").string(),
                                                 "TESSALY_I2C_SYS_ROOT=" + (directory / "sys").string()};
    const std::string notReady = "tessaly-cli: device on port 24C02 is not ready: ";
    struct Case {
        std::string plugin;
        std::string port;
        std::vector<std::string> environment;
        std::string err;
    };
    const Case cases[] = {
        {"tessaly-sim.so",
         "24C02",
         {"TESSALY_SIM_FAULTS=nochip"},
         notReady + GetMessageText(msg::kStateNoChip)},
        {"tessaly-sim.so",
         "24C02",
         {"TESSALY_SIM_FAULTS=nodriver"},
         notReady + GetMessageText(msg::kStateNoDriver)},
        {"tessaly-sim.so",
         "24C99",
         {},
         "tessaly-cli: port '24C99' could not be opened; tessaly-sim.so offers 24C01, 24C02, 24C04, 24C08, "
         "24C16, 24C32, 24C64, 24C128, 24C256, 24C512, 25LC128, 25LC256, 25LC512"},
        {"tessaly-i2cdev.so", "24C02", noAdapters,
         "tessaly-cli: port '24C02' could not be opened; tessaly-i2cdev.so offers no ports"},
    };
    for (const Case& test : cases) {
        const CliOutput output =
            Run({"read", board, "--plugin", test.plugin, "--port", test.port, "--delay-power-up", "0"},
                test.environment);
        EXPECT_EQ(output.status, 1) << test.err;
        EXPECT_EQ(output.err, test.err + "\n");
    }
}

TEST_F(DeviceCommandsTest, PluginAndPortAreNeededAndThePluginMustLoad) {
    EXPECT_EQ(Run({"program", board, "--port", "24C02"}).status, 2);
    EXPECT_EQ(Run({"verify", board, "--plugin", "tessaly-sim.so"}).status, 2);
    const CliOutput missing = Run({"read", board, "--plugin", "absent.so", "--port", "24C02"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "tessaly-cli: cannot load the plug-in absent.so\n");
}

TEST_F(DeviceCommandsTest, APluginMayBeGivenAsAPath) {
    const fs::path plugin = fs::path(TESSALY_CLI_PATH).parent_path() / "tessaly-sim.so";
    const CliOutput output = Run({"program", board, "--plugin", plugin.string(), "--port", "24C02",
                                  "--delay-power-up", "0", "--pulse-fix", "0"});
    EXPECT_EQ(output.status, 0) << output.err;
    EXPECT_EQ(ChipSerial(), 1000u);
}

TEST_F(DeviceCommandsTest, ASixteenBitChipIsReachedInItsOwnAddressingMode) {
    const std::string wide = WriteTemplate("wide.dev",
                                           "[Wide, I2C16]\n"
                                           "Serial = NUM, 1000-1003, 0-FFFFFFFF, HEX\n");
    ASSERT_EQ(Run({"set", wide, "Serial=12345678"}).status, 0);
    EXPECT_EQ(Run(With({"program", wide}, SimulatorOptions("24C64"))).status, 0);
    const std::vector<std::uint8_t> chip = FileBytes(ChipFile("24C64"));
    ASSERT_GE(chip.size(), 0x1004u);
    EXPECT_EQ(chip[0x1000], 0x78);
    EXPECT_EQ(chip[0x1003], 0x12);
}

}  // namespace
}  // namespace tessaly::test
