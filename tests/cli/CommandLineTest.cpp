// The command line as such: help, option placement, usage errors, and the template codec commands.
#include <fstream>
#include <string>
#include <vector>

#include "CliTest.h"

namespace tessaly::test {
namespace {

const std::vector<std::string> kCommands = {"check", "decode", "encode", "list", "get",     "set",
                                            "dump",  "export", "import", "read", "program", "verify"};

class CommandLineTest : public CliTest {};

TEST_F(CommandLineTest, HelpNamesEveryCommand) {
    const CliOutput output = Run({"--help"});
    EXPECT_EQ(output.status, 0);
    EXPECT_TRUE(output.err.empty());
    EXPECT_TRUE(output.out.starts_with("Usage: tessaly-cli [OPTIONS] COMMAND TEMPLATE [ARGS...]\n"));
    for (const std::string& command : kCommands) {
        EXPECT_NE(output.out.find("\n  " + command + " "), std::string::npos) << command;
    }
}

TEST_F(CommandLineTest, NoCommandIsAUsageError) {
    const CliOutput output = Run({});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "tessaly-cli: no command given; tessaly-cli --help lists them\n");
}

TEST_F(CommandLineTest, EveryCommandHasItsOwnHelp) {
    for (const std::string& command : kCommands) {
        const CliOutput output = Run({command, "--help"});
        EXPECT_EQ(output.status, 0) << command;
        EXPECT_TRUE(output.out.starts_with("Usage: tessaly-cli " + command + " ")) << output.out;
        EXPECT_EQ(Run({"-h", command}).out, output.out) << command;
    }
}

TEST_F(CommandLineTest, OptionsMayStandBeforeOrAfterThePositionalArguments) {
    const std::string board = CopyBoardExample();
    const CliOutput before = Run({"dump", "--mask", board});
    const CliOutput after = Run({"dump", board, "--mask"});
    const CliOutput first = Run({"--mask", "dump", board});
    EXPECT_EQ(before.status, 0);
    EXPECT_FALSE(before.out.empty());
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(first.out, before.out);
    EXPECT_NE(Run({"dump", board}).out, before.out);
}

// A usage error names what is wrong in one line and exits with 2.
void ExpectUsageError(const CliOutput& output, const std::string& part) {
    EXPECT_EQ(output.status, 2);
    EXPECT_TRUE(output.out.empty());
    EXPECT_TRUE(output.err.starts_with("tessaly-cli: ")) << output.err;
    EXPECT_EQ(output.err.find('\n'), output.err.size() - 1) << output.err;
    EXPECT_NE(output.err.find(part), std::string::npos) << output.err;
}

TEST_F(CommandLineTest, UsageErrorsExitWithTwo) {
    const std::string board = CopyBoardExample();
    ExpectUsageError(Run({"list", board, "--frobnicate"}), "--frobnicate");
    ExpectUsageError(Run({"frobnicate", board}), "frobnicate");
    ExpectUsageError(Run({"list"}), "usage: tessaly-cli list");
    ExpectUsageError(Run({"list", board, "extra"}), "usage: tessaly-cli list");
    ExpectUsageError(Run({"get", board}), "usage: tessaly-cli get");
    ExpectUsageError(Run({"export", board}), "usage: tessaly-cli export");
    ExpectUsageError(Run({"list", board, "--unit"}), "--unit");
    ExpectUsageError(Run({"list", board, "--mask"}), "--mask does not apply to list");
    ExpectUsageError(Run({"get", board, "--force", "DHCP"}), "--force does not apply to get");
    ExpectUsageError(Run({"verify", board, "--increment", "Serial number"}), "--increment");
    ExpectUsageError(Run({"list", board, "--pulse-fix", "70000"}), "--pulse-fix");
    ExpectUsageError(Run({"list", board, "--delay-power-up", "soon"}), "--delay-power-up");
    ExpectUsageError(Run({"list", board, "--delay-io", "-1"}), "--delay-io");
}

TEST_F(CommandLineTest, DecodeThenEncodeReproducesTheFileByteForByte) {
    const std::string board = CopyBoardExample();
    const CliOutput decoded = Run({"decode", board});
    ASSERT_EQ(decoded.status, 0);
    EXPECT_NE(decoded.out.find("Serial number = NUM, 4-7, 0-FFFFFFFF, DEC\n"), std::string::npos);
    const std::string plain = (directory / "board.txt").string();
    { std::ofstream(plain, std::ios::binary) << decoded.out; }
    const std::string encoded = (directory / "again.dev").string();
    const CliOutput written = Run({"encode", plain, "-o", encoded});
    EXPECT_EQ(written.status, 0);
    EXPECT_TRUE(written.out.empty());
    EXPECT_EQ(FileBytes(encoded), FileBytes(board));
    const CliOutput toStandardOutput = Run({"encode", plain});
    EXPECT_EQ(std::vector<std::uint8_t>(toStandardOutput.out.begin(), toStandardOutput.out.end()),
              FileBytes(board));
}

TEST_F(CommandLineTest, DecodeAndEncodeOfAMissingFileExitWithTwo) {
    ExpectUsageError(Run({"decode", (directory / "absent.dev").string()}), "absent.dev");
    ExpectUsageError(Run({"encode", (directory / "absent.txt").string()}), "absent.txt");
}

}  // namespace
}  // namespace tessaly::test
