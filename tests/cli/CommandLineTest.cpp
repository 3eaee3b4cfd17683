// The command line as such: help, option placement, usage errors, and the template codec commands.
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "CliTest.h"

namespace tessaly::test {
namespace {

const std::vector<std::string> kCommands = {"check",   "decode", "encode",  "list",   "get",
                                            "set",     "dump",   "export",  "import", "read",
                                            "program", "verify", "plugins", "ports"};

class CommandLineTest : public CliTest {};

TEST_F(CommandLineTest, HelpNamesEveryCommand) {
    const CliOutput output = Run({"--help"});
    EXPECT_EQ(output.status, 0);
    EXPECT_TRUE(output.err.empty());
    EXPECT_TRUE(output.out.starts_with("Usage: tessaly-cli [OPTIONS] COMMAND [TEMPLATE] [ARGS...]\n"));
    for (const std::string& command : kCommands) {
        EXPECT_NE(output.out.find("\n  " + command + " "), std::string::npos) << command;
    }
}

TEST_F(CommandLineTest, EveryCommandHasItsOwnHelp) {
    for (const std::string& command : kCommands) {
        const CliOutput output = Run({command, "--help"});
        EXPECT_EQ(output.status, 0) << command;
        const std::string usage = "Usage: tessaly-cli " + command;
        EXPECT_TRUE(output.out.starts_with(usage + " ") || output.out.starts_with(usage + "\n"))
            << output.out;
        EXPECT_EQ(Run({"-h", command}).out, output.out) << command;
    }
}

// --version needs no command and wins over one, as --help does; the overview names it.
TEST_F(CommandLineTest, VersionPrintsTheProjectVersion) {
    const std::string board = CopyBoardExample();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"list", board, "--version"}, {"--version", "frobnicate"}}) {
        const CliOutput output = Run(args);
        EXPECT_EQ(output.status, 0) << args.size();
        EXPECT_EQ(output.out, "tessaly-cli " TESSALY_PROJECT_VERSION "\n");
        EXPECT_TRUE(output.err.empty()) << output.err;
    }
    EXPECT_NE(Run({"--help"}).out.find("\n  --version "), std::string::npos);
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

// A usage error names what is wrong in one line and exits with 2, writing nothing to standard output.
TEST_F(CommandLineTest, UsageErrorsExitWithTwo) {
    const std::string board = CopyBoardExample();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given; tessaly-cli --help lists them"},
        {{"list", board, "--frobnicate"}, "--frobnicate"},
        {{"frobnicate", board}, "frobnicate"},
        {{"list"}, "usage: tessaly-cli list"},
        {{"list", board, "extra"}, "usage: tessaly-cli list"},
        {{"get", board}, "usage: tessaly-cli get"},
        {{"export", board}, "usage: tessaly-cli export"},
        {{"plugins", board}, "usage: tessaly-cli plugins"},
        {{"ports", "--plugin", "tessaly-sim.so", board}, "usage: tessaly-cli ports"},
        {{"ports"}, "--plugin FILE"},
        {{"ports", "--plugin", "absent.so"}, "cannot load the plug-in absent.so"},
        {{"list", board, "--unit"}, "--unit"},
        {{"list", board, "--mask"}, "--mask does not apply to list"},
        {{"get", board, "--force", "DHCP"}, "--force does not apply to get"},
        {{"verify", board, "--increment", "Serial number"}, "--increment"},
        {{"list", board, "--pulse-fix", "70000"}, "--pulse-fix"},
        {{"list", board, "--delay-power-up", "soon"}, "--delay-power-up"},
        {{"list", board, "--delay-io", "-1"}, "--delay-io"},
        {{"decode", (directory / "absent.dev").string()}, "absent.dev"},
        {{"encode", (directory / "absent.txt").string()}, "absent.txt"},
        {{"check", (directory / "absent.dev").string()},
         "cannot open template " + (directory / "absent.dev").string()},
    };
    for (const auto& [args, part] : cases) {
        const CliOutput output = Run(args);
        EXPECT_EQ(output.status, 2) << part;
        EXPECT_TRUE(output.out.empty()) << part;
        EXPECT_TRUE(output.err.starts_with("tessaly-cli: ")) << output.err;
        EXPECT_EQ(output.err.find('\n'), output.err.size() - 1) << output.err;
        EXPECT_NE(output.err.find(part), std::string::npos) << output.err;
    }
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

}  // namespace
}  // namespace tessaly::test
