// The command line as such: help, option placement, usage errors, check, the template codec commands and
// the plug-in listings.
#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "CliTest.h"
#include "TestFiles.h"
#include "engine/ParseError.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;
using CommandLineTest = CliTest;

TEST_F(CommandLineTest, HelpNamesEveryCommandAndEveryCommandHasItsOwn) {
    const CliOutput overview = Run({"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_TRUE(overview.out.starts_with("Usage: tessaly-cli [OPTIONS] COMMAND [TEMPLATE] [ARGS...]\n"));
    for (const std::string command : {"check", "decode", "encode", "list", "get", "set", "dump", "export",
                                      "import", "read", "program", "verify", "plugins", "ports"}) {
        EXPECT_NE(overview.out.find("\n  " + command + " "), std::string::npos) << command;
        const CliOutput own = Run({command, "--help"});
        EXPECT_EQ(own.status, 0) << command;
        const std::string usage = "Usage: tessaly-cli " + command;
        EXPECT_TRUE(own.out.starts_with(usage + " ") || own.out.starts_with(usage + "\n")) << own.out;
        EXPECT_EQ(Run({"-h", command}).out, own.out) << command;
    }
}

// --version needs no command and wins over one, as --help does; the overview names it.
TEST_F(CommandLineTest, VersionPrintsTheProjectVersion) {
    const std::string board = WriteBoard();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"list", board, "--version"}, {"--version", "frobnicate"}}) {
        const CliOutput output = Run(args);
        EXPECT_EQ(output.status, 0) << args.size();
        EXPECT_EQ(output.out, "tessaly-cli " TESSALY_PROJECT_VERSION "\n");
        EXPECT_TRUE(output.err.empty()) << output.err;
    }
    EXPECT_NE(Run({"--help"}).out.find("\n  --version "), std::string::npos);
}

// A usage, template, value or file error names what is wrong in one line and exits with 2, writing nothing
// to standard output. A long value is quoted by its first 60 characters (whole UTF-8 sequences) and its
// length, so that the message stays one readable line.
TEST_F(CommandLineTest, ErrorsExitWithTwoAndOneLine) {
    const std::string board = WriteBoard();
    const std::string absent = Path("absent.dev");
    const std::string unsaved = WriteBoard("unsaved.dev");
    std::filesystem::create_directory(Path("unsaved.cfg"));
    const std::string x60(60, 'x');
    std::string e60;
    for (int i = 0; i < 60; ++i) {
        e60 += "\xC3\xA9";
    }
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given; tessaly-cli --help lists them"},
        {{"list", board, "--frobnicate"}, "unknown option --frobnicate"},
        {{"frobnicate", board}, "unknown command 'frobnicate'"},
        {{"list"}, "usage: tessaly-cli list"},
        {{"list", board, "extra"}, "usage: tessaly-cli list"},
        {{"get", board}, "usage: tessaly-cli get"},
        {{"plugins", board}, "usage: tessaly-cli plugins"},
        {{"list", board, "--unit"}, "option --unit needs a value"},
        {{"list", board, "--mask"}, "--mask does not apply to list"},
        {{"get", board, "--force", "DHCP"}, "--force does not apply to get"},
        {{"verify", board, "--increment", "DHCP"}, "--increment does not apply to verify"},
        {{"get", board, "--all", "DHCP"}, "--all does not apply to get"},
        {{"get", board, "--disable", "DHCP", "DHCP"}, "--disable does not apply to get"},
        {{"list", board, "--raw"}, "--raw does not apply to list"},
        {{"list", board, "--format", "hex"}, "--format does not apply to list"},
        {{"read", board, "--no-backup"}, "--no-backup does not apply to read"},
        {{"list", board, "-o", "out"}, "--output does not apply to list"},
        {{"list", board, "--pulse-fix", "70000"},
         "--pulse-fix takes a whole number from 0 to 60000, not '70000'"},
        {{"list", board, "--delay-power-up", "soon"}, "--delay-power-up takes a whole number"},
        {{"list", board, "--delay-io", "-1"}, "--delay-io takes a whole number"},
        {{"decode", absent}, "cannot read " + absent},
        {{"encode", absent}, "cannot read " + absent},
        {{"check", absent}, "cannot open template " + absent},
        {{"backups", absent}, "cannot open template " + absent},
        {{"dump", board, "--mask", "--format", "hex"}, "--format prints the image, not --mask"},
        {{"dump", board, "--format", "bin"}, "--format takes hex or srec, not bin"},
        {{"dump", board, "--mask", "--disable", "Nope"}, "unit Board has no item named 'Nope'"},
        {{"set", unsaved, "Year=24"}, "cannot save the values to " + Path("unsaved.cfg")},
        {{"check", Path("")}, "cannot open template " + Path("")},
        {{"list", board, "--unit", "Nowhere"}, "has no unit named 'Nowhere'"},
        {{"list", board, "--disable", "Nope"}, "unit Board has no item named 'Nope'"},
        {{"get", board, "#0"}, "unit Board has no item #0 (its items are #1 to #6)"},
        {{"set", board, "DHCP"}, "set takes NAME=VALUE, not 'DHCP'"},
        {{"set", board, "Board name=" + x60}, "#5 Board name: '" + x60 + "' is wrong"},
        {{"set", board, "Board name=" + e60}, "#5 Board name: '" + e60 + "' is wrong"},
        {{"set", board, "Board name=" + x60 + "y"}, "#5 Board name: '" + x60 + "...' (61 bytes) is wrong"},
        {{"set", board, "Board name=" + x60.substr(1) + "\xC3\xA9yy"},
         "#5 Board name: '" + x60.substr(1) + "\xC3\xA9...' (63 bytes) is wrong"},
        {{"set", board, "Board name=" + std::string(100000, 'x')},
         "'" + x60 + "...' (100000 bytes) is wrong"},
        {{"dump", board, "--disable", "DHCP"}, "--disable changes only the program mask"},
        {{"import", board, absent}, "cannot import " + absent + ": not a readable data file"},
        {{"import", board, Path("")}, "cannot import " + Path("") + ": not a readable data file"},
        {{"import", "--raw", board, Path("")}, "cannot read "},
        {{"export", board, Path("no/such/dir.tdf")}, "cannot write " + Path("no/such/dir.tdf")},
        {{"ports"}, "ports needs --plugin FILE"},
        {{"ports", "--plugin", "absent.so"}, "cannot load the plug-in absent.so"},
        {{"read", board, "--plugin", "absent.so", "--port", "24C02"}, "cannot load the plug-in absent.so"},
        {{"read", board, "--port", "24C02"}, "--plugin FILE is needed to reach the device"},
        {{"read", board, "--plugin", "tessaly-sim.so"}, "--port NAME is needed to reach the device"},
        {{"program", board, "--increment", "Board name"},
         "--increment needs a NUM item; #5 Board name is not one"},
        {{"program", board, "--increment", "Serial number", "--no-save"}, "cannot go with --no-save"},
    };
    for (const auto& [args, part] : cases) {
        const CliOutput output = Run(args);
        EXPECT_EQ(output.status, 2) << part;
        EXPECT_EQ(output.out, "") << part;
        EXPECT_TRUE(output.err.starts_with("tessaly-cli: ")) << output.err;
        EXPECT_EQ(output.err.find('\n'), output.err.size() - 1) << output.err;
        EXPECT_NE(output.err.find(part), std::string::npos) << output.err;
    }
}

// check prints the desktop's report, byte for byte, when the load fails, and never writes the companion;
// a template that loads may draw warnings.
TEST_F(CommandLineTest, CheckPrintsNothingOrTheDesktopsReport) {
    const std::string board = WriteBoard();
    const CliOutput loads = Run({"check", board});
    EXPECT_EQ(loads.status, 0);
    EXPECT_EQ(loads.out + loads.err, "");
    EXPECT_FALSE(fs::exists(Path("board.cfg")));

    const std::string bad = WriteTemplate("bad.dev", "[Board, I2C8]\nA = NUM, 0, 0-FF, HEX\nB = NUMBER, 1\n");
    std::string report;
    ASSERT_TRUE(
        FormatParseReport(static_cast<std::uint32_t>(ParseError::UnsupportedKeyword), bad, 3, report));
    const CliOutput fails = Run({"check", bad});
    EXPECT_EQ(fails.status, 2);
    EXPECT_EQ(fails.out, "");
    EXPECT_EQ(fails.err, report + "\n");

    // A CRC item with an unknown algorithm loads as a placeholder, which check points out.
    const std::string typo =
        WriteTemplate("typo.dev", "[Board, I2C8]\nSum = CRC, 1, 0-0, SUM8\nC = CRC, 2, 0-0, CRC-16\n");
    const CliOutput warns = Run({"check", typo});
    EXPECT_EQ(warns.status, 0);
    EXPECT_EQ(
        warns.err,
        "tessaly-cli: warning: unit Board, CRC item C: unknown algorithm CRC-16; it computes nothing\n");
}

TEST_F(CommandLineTest, DecodeThenEncodeReproducesTheFileByteForByte) {
    const std::string board = WriteBoard();
    const CliOutput decoded = Run({"decode", board});
    ASSERT_EQ(decoded.status, 0);
    EXPECT_NE(decoded.out.find("Year = NUM, 9, 0-63, DEC\n"), std::string::npos);
    WriteBytes(Path("board.txt"), decoded.out);
    const CliOutput written = Run({"encode", Path("board.txt"), "-o", Path("again.dev")});
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(ReadBytes(Path("again.dev")), ReadBytes(board));
    EXPECT_EQ(Run({"encode", Path("board.txt")}).out, ReadBytes(board));
}

TEST_F(CommandLineTest, PluginsListsThePluginsBesideTheExecutableAndPortsThePortsOfOne) {
    const CliOutput plugins = Run({"plugins"});
    EXPECT_EQ(plugins.status, 0);
    std::ptrdiff_t count = 0;
    for (const std::string& name : FileNamesIn(fs::path(TESSALY_CLI_PATH).parent_path())) {
        if (name.ends_with(".so")) {
            ++count;
            EXPECT_NE(("\n" + plugins.out).find("\n" + name + "\t"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(std::count(plugins.out.begin(), plugins.out.end(), '\n'), count);
    EXPECT_NE(plugins.out.find(
                  "tessaly-sim.so\tChip simulator: I2C and SPI EEPROMs kept in files, no hardware needed\n"),
              std::string::npos)
        << plugins.out;

    const CliOutput ports = Run({"ports", "--plugin", "tessaly-sim.so"});
    EXPECT_EQ(ports.status, 0);
    EXPECT_EQ(std::count(ports.out.begin(), ports.out.end(), '\n'), 13);
    EXPECT_TRUE(ports.out.starts_with("24C01\n24C02\n")) << ports.out;
    EXPECT_TRUE(ports.out.ends_with("\n25LC512\n")) << ports.out;
}

}  // namespace
}  // namespace tessaly::test
