// read, program and verify through the chip simulator, found beside the executable as plug-ins are.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "CliTest.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

class DeviceCommandsTest : public CliTest {
  protected:
    void SetUp() override {
        board = WriteBoard();
        ASSERT_EQ(
            Run({"set", board, "Serial number=1000", "Year=24", "Week=20", "Board name=Tessaly"}).status, 0);
    }

    // Runs a device command on the simulator's 24C02 with no delays.
    CliOutput Device(std::vector<std::string> args, StandardOutput out = StandardOutput::Captured,
                     StandardError err = StandardError::Captured) const {
        args.insert(args.end(), {"--plugin", "tessaly-sim.so", "--port", "24C02", "--delay-power-up", "0",
                                 "--pulse-fix", "0"});
        return Run(args, out, err);
    }

    // The board's serial number as the chip holds it: four bytes from address 4, low byte first.
    std::uint32_t ChipSerial() const {
        const std::vector<std::uint8_t> chip = sandbox.ReadChip("24C02");
        return chip.size() < 8 ? 0
                               : chip[4] | (chip[5] << 8) | (chip[6] << 16) | (std::uint32_t{chip[7]} << 24);
    }

    static std::string Message(std::uint16_t id) { return std::string(GetMessageText(id)) + "\n"; }

    std::string board;
};

// On a terminal a progress line is shown, and wiped at the end; anywhere else nothing is.
TEST_F(DeviceCommandsTest, ProgramReadAndVerifyGoThroughTheChip) {
    const CliOutput programmed =
        Device({"program", board}, StandardOutput::Captured, StandardError::Terminal);
    EXPECT_EQ(programmed.status, 0);
    EXPECT_EQ(programmed.out, Message(msg::kProgramComplete));
    for (const char* step : {"\rPrepare data...", "\rProgram...", "\rVerify...", "100%"}) {
        EXPECT_NE(programmed.err.find(step), std::string::npos) << step << " in " << programmed.err;
    }
    EXPECT_TRUE(programmed.err.ends_with("\r")) << programmed.err;
    EXPECT_EQ(ChipSerial(), 1000u);

    // A disabled item keeps its value; the others are read back and listed.
    ASSERT_EQ(Run({"set", board, "Serial number=5", "Board name=other"}).status, 0);
    const CliOutput read = Device({"read", board, "--disable", "Serial number"});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.err, "");
    EXPECT_TRUE(read.out.starts_with("Board\t1\t0\tSerial number\t5\nBoard\t2\t1\tHardware revision\t"))
        << read.out;
    EXPECT_EQ(Run({"get", board, "Serial number", "Board name"}).out, "5\nTessaly\n");
    // A reader that goes away (| head) loses the listing, not the values read from the chip.
    const CliOutput closed = Device({"read", board}, StandardOutput::ClosedPipe);
    EXPECT_EQ(closed.status, 2);
    EXPECT_EQ(closed.err, "tessaly-cli: cannot write to standard output\n");
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1000\n");

    // A plug-in may be given as a path.
    const std::string plugin = (fs::path(TESSALY_CLI_PATH).parent_path() / "tessaly-sim.so").string();
    const CliOutput verified =
        Run({"verify", board, "--plugin", plugin, "--port", "24C02", "--delay-power-up", "0"});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.out, Message(msg::kVerifyComplete));

    ASSERT_EQ(Run({"set", board, "Serial number=1001"}).status, 0);
    const CliOutput differs = Device({"verify", board});
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out, "Serial number\t1000\t1001\n");
    EXPECT_EQ(differs.err, std::string(GetMessageText(msg::kWrongValue)) + " (0xE8 <> 0xE9) " +
                               GetMessageText(msg::kAtLocation) + " 0x4\n" + Message(msg::kOperationSkipped) +
                               "tessaly-cli: verify found a difference in unit Board\n");
}

// Program keeps the chip's bytes as a backup (unless --no-backup), diff names what the chip holds
// otherwise, restore puts a backup back and refuses a file of another size; --log records each command.
TEST_F(DeviceCommandsTest, BackupsDiffRestoreAndTheirLog) {
    const std::string log = Path("log.csv");
    ASSERT_EQ(Device({"program", board, "--log", log}).status, 0);
    ASSERT_EQ(Run({"set", board, "Serial number=1001"}).status, 0);
    ASSERT_EQ(Device({"program", board, "--no-backup"}).status, 0);
    const CliOutput listed = Run({"backups", board});
    ASSERT_EQ(listed.status, 0);
    const std::string backup = listed.out.substr(0, listed.out.find('\n'));
    EXPECT_EQ(listed.out, backup + "\n");
    EXPECT_EQ(ReadBytes(backup).find_first_not_of('\xFF'), std::string::npos);

    ASSERT_EQ(Run({"set", board, "Serial number=5"}).status, 0);
    const CliOutput differs = Device({"diff", board, "--log", log});
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out, "Serial number\t1001\t5\n");

    EXPECT_EQ(Device({"restore", board, log}).status, 2);
    EXPECT_EQ(ChipSerial(), 1001u);
    EXPECT_EQ(Device({"restore", board, backup, "--log", log}).status, 0);
    EXPECT_EQ(ChipSerial(), 0xFFFFFFFFu);
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "5\n");
    EXPECT_THAT(ReadBytes(log),
                ::testing::MatchesRegex("time,template,unit,plugin,port,command,result,counter,backup\n"
                                        "[-0-9T:+]+,/.*/board.dev,Board,tessaly-sim.so,24C02,program,ok,," +
                                        backup + "\n.*,diff,difference,,\n.*,restore,ok,,\n"));

    // Without --yes a backup that cannot be saved stops the program; a log that cannot be opened fails
    // a program that went well.
    fs::remove_all(sandbox.Root() / "state");
    WriteBytes(sandbox.Root() / "state" / "tessaly", "");
    const CliOutput unsaved = Device({"program", board});
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_NE(unsaved.err.find("The chip's backup could not be saved: "), std::string::npos) << unsaved.err;
    EXPECT_EQ(ChipSerial(), 0xFFFFFFFFu);
    const CliOutput unlogged = Device({"program", board, "--no-backup", "--log", Path("none/log.csv")});
    EXPECT_EQ(unlogged.status, 2);
    EXPECT_EQ(unlogged.err, "tessaly-cli: cannot append to the log " + Path("none/log.csv") + "\n");
    EXPECT_EQ(ChipSerial(), 5u);
}

// Every enabled item with a wrong value is named, so that one run shows all there is to fix.
TEST_F(DeviceCommandsTest, WrongValuesAreNamedBeforeTheDeviceIsTouchedUnlessTheirItemsAreDisabled) {
    const std::string fresh = WriteBoard("fresh.dev");
    ASSERT_EQ(Run({"set", fresh, "Serial number=1000", "Board name=Tessaly"}).status, 0);
    for (const char* command : {"program", "verify"}) {
        const CliOutput output = Device({command, fresh});
        EXPECT_EQ(output.status, 2) << command;
        EXPECT_EQ(output.err,
                  "tessaly-cli: #3 Year: '255' is wrong or above the maximum (Number (decimal): 0-99)\n"
                  "tessaly-cli: #4 Week: '255' is wrong or above the maximum (Number (decimal): 1-53)\n")
            << command;
    }
    EXPECT_FALSE(fs::exists(sandbox.ChipFile("24C02")));
    EXPECT_EQ(Device({"program", fresh, "--disable", "#3,Week"}).status, 0);
    EXPECT_EQ(ChipSerial(), 1000u);
}

// The counter goes up only after a successful program and verify, and only to a value it may hold.
TEST_F(DeviceCommandsTest, IncrementGivesTheNextBoardTheNextNumber) {
    for (const std::uint32_t serial : {1000u, 1001u}) {
        const CliOutput output = Device({"program", board, "--increment", "Serial number"});
        ASSERT_EQ(output.status, 0) << output.err;
        EXPECT_EQ(ChipSerial(), serial);
    }
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1002\n");

    ASSERT_EQ(Run({"set", board, "Hardware revision=FF"}).status, 0);
    const CliOutput output = Device({"program", board, "--increment", "Hardware revision"});
    EXPECT_EQ(output.status, 2);
    EXPECT_TRUE(
        output.err.starts_with("tessaly-cli: #2 Hardware revision: '100' is wrong or above the maximum"))
        << output.err;
    EXPECT_EQ(Run({"get", board, "Hardware revision"}).out, "FF\n");
}

// Access errors are answered No, which abandons the program; --yes retries, but the same question ten
// times in a row is answered No.
TEST_F(DeviceCommandsTest, AccessErrorsAreAnsweredNoOrWithYesRetriedTenTimes) {
    const std::string question =
        std::string(GetMessageText(msg::kAskRetryDeviceAccess)) + "\n[0x4]\nAnswer: ";
    const auto program = [this](const std::string& faults, std::vector<std::string> args) {
        sandbox.SetFaults(faults);
        args.insert(args.begin(), {"program", board, "--pulse-pgm", "0"});
        return Device(args);
    };
    const CliOutput no = program("write=1-1000", {"--increment", "Serial number"});
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(no.out, "");
    EXPECT_EQ(no.err, question + "No\ntessaly-cli: program of unit Board was abandoned\n");
    EXPECT_EQ(Run({"get", board, "Serial number"}).out, "1000\n");

    const CliOutput retried = program("write=1-2", {"--yes"});
    EXPECT_EQ(retried.status, 0);
    EXPECT_EQ(retried.err, question + "Yes\n" + question + "Yes\n");
    EXPECT_EQ(ChipSerial(), 1000u);

    std::string tenTimes;
    for (int i = 0; i < 10; ++i) {
        tenTimes += question + "Yes\n";
    }
    ASSERT_EQ(Run({"set", board, "Serial number=1001"}).status, 0);
    const CliOutput never = program("write=1-100000", {"--yes"});
    EXPECT_EQ(never.status, 1);
    EXPECT_EQ(never.err, tenTimes + question + "No\ntessaly-cli: program of unit Board was abandoned\n");
}

// A port the plug-in cannot open is told apart from a missing driver, with the ports that would do.
TEST_F(DeviceCommandsTest, ADeviceThatIsNotReadyFailsWithOneAndSaysWhy) {
    const std::string notReady = "tessaly-cli: device on port 24C02 is not ready: ";
    const struct {
        std::string plugin, port, faults, err;
    } cases[] = {
        {"tessaly-sim.so", "24C02", "nochip", notReady + GetMessageText(msg::kStateNoChip)},
        {"tessaly-sim.so", "24C02", "nodriver", notReady + GetMessageText(msg::kStateNoDriver)},
        {"tessaly-sim.so", "24C99", "",
         "tessaly-cli: port '24C99' could not be opened; tessaly-sim.so offers 24C01, 24C02, 24C04, 24C08, "
         "24C16, 24C32, 24C64, 24C128, 24C256, 24C512, 25LC128, 25LC256, 25LC512"},
        {"tessaly-i2cdev.so", "24C02", "",
         "tessaly-cli: port '24C02' could not be opened; tessaly-i2cdev.so offers no ports"},
    };
    // The i2c-dev plug-in, its driver there but no adapter, offers no ports.
    fs::create_directories(Path("sys/class/i2c-dev"));
    sandbox.Environment().Set("TESSALY_I2C_DEV_ROOT", Path("dev"));
    sandbox.Environment().Set("TESSALY_I2C_SYS_ROOT", Path("sys"));
    for (const auto& test : cases) {
        sandbox.SetFaults(test.faults);
        const CliOutput output =
            Run({"read", board, "--plugin", test.plugin, "--port", test.port, "--delay-power-up", "0"});
        EXPECT_EQ(output.status, 1) << test.err;
        EXPECT_EQ(output.err, test.err + "\n");
    }
}

// The EDID example, programmed with its values, is a base block that edid-decode reads without a checksum
// error.
TEST_F(DeviceCommandsTest, ProgrammedEdidExampleDecodesWithItsChecksum) {
    if (std::system("command -v edid-decode > /dev/null") != 0) {
        GTEST_SKIP() << "edid-decode is not installed";
    }
    for (const char* file : {"edid-1.3.dev", "edid-1.cfg"}) {
        fs::copy_file(ExamplePath(file), Path(file));
    }
    ASSERT_EQ(Run({"set", Path("edid-1.3.dev"), "Serial number=7654321"}).status, 0);
    ASSERT_EQ(Device({"program", Path("edid-1.3.dev")}).status, 0);
    const std::string decode =
        "head -c 128 " + sandbox.ChipFile("24C02").string() + " | edid-decode > " + Path("decoded.txt");
    ASSERT_EQ(std::system(decode.c_str()), 0);
    const std::string decoded = ReadBytes(Path("decoded.txt"));
    EXPECT_NE(decoded.find("EDID Structure Version & Revision: 1.3"), std::string::npos) << decoded;
    EXPECT_NE(decoded.find("\nChecksum: 0x"), std::string::npos) << decoded;
    EXPECT_EQ(decoded.find("should be"), std::string::npos) << decoded;  // how it reports a wrong checksum
}

}  // namespace
}  // namespace tessaly::test
