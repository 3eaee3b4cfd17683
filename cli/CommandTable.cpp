#include "cli/CommandTable.h"

#include <array>

#include "cli/Commands.h"

namespace tessaly {
namespace {

constexpr std::uint32_t kNoOwnOptions = 0;
constexpr bool kTemplate = true;
constexpr bool kNoTemplate = false;
// Where the overview's one-line summaries start.
constexpr std::size_t kSummaryColumn = 34;

constexpr std::array<CommandInfo, 17> kCommands = {{
    {"check", "TEMPLATE", "load the template; silent when it loads, else its error report",
     "Loads the template as the desktop does: parse, memory images, collision check, saved values.\n"
     "Prints nothing when it loads; otherwise the parse report or the memory collision text, as the\n"
     "desktop shows it, on standard error. Unlike the other commands it never writes the companion file.\n",
     kNoOwnOptions, kTemplate, 0, 0, RunCheck},
    {"decode", "TEMPLATE", "print the template with every entry body in plain text",
     "Prints the template with every entry body in plain text and LF line ends; bytes that would not\n"
     "survive the way back are escaped, so that encode gives the file back byte for byte.\n",
     kNoOwnOptions, kTemplate, 0, 0, RunDecode},
    {"encode", "PLAIN [-o FILE]", "write a template from plain text",
     "Writes the template that PLAIN (as decode prints it, or written by hand) describes, to FILE or to\n"
     "standard output.\n"
     "\n"
     "  -o, --output FILE      where the template goes\n",
     kOptionOutput, kTemplate, 0, 0, RunEncode},
    {"list", "TEMPLATE [--all]", "one line per item: unit, number, enabled, name, value",
     "Prints one line per item of the unit as the item list shows them, tab-separated: the unit's name,\n"
     "the item's running number, 1 or 0 for enabled, the item's name and its value.\n"
     "\n"
     "  --all                  list every unit\n"
     "  --disable NAME,...     show these items of the unit disabled\n",
     kOptionAll | kOptionDisable, kTemplate, 0, 0, RunList},
    {"get", "TEMPLATE NAME...", "print the values of the named items",
     "Prints the value of each named item of the unit, one per line. NAME is an item's name or #N, the\n"
     "item with running number N; a name that several items share is an error that lists their numbers.\n",
     kNoOwnOptions, kTemplate, 1, kAnyNumber, RunGet},
    {"set", "TEMPLATE NAME=VALUE...", "store values, all of them or none",
     "Checks every value against its item first and stores them all, or none when one is wrong. NAME is\n"
     "an item's name or #N, as for get. The values are saved in the companion file.\n",
     kNoOwnOptions, kTemplate, 1, kAnyNumber, RunSet},
    {"dump", "TEMPLATE [--mask | --format hex|srec]",
     "print the unit's image as it would be programmed, in hex",
     "Prints the unit's data image as it would be programmed (constants and derived fields prepared),\n"
     "16 bytes per line: the device address of the line's first byte, a colon, the bytes in hex.\n"
     "\n"
     "  --mask                 print the program mask instead\n"
     "  --disable NAME,...     with --mask: leave these items out of the mask\n"
     "  --format hex|srec      print the image as an Intel HEX or S-record file instead\n",
     kOptionMask | kOptionDisable | kOptionFormat, kTemplate, 0, 0, RunDump},
    {"export", "TEMPLATE FILE [--raw]", "write the unit's data to a .tdf, .hex, .srec or .bin file",
     "Writes the unit's data image to FILE in the format its extension names: a template data file\n"
     "(.tdf, and any other name) of one record, Intel HEX (.hex, .ihex), S-record (.srec, .mot, .s19;\n"
     ".s28 and .s37 with 24- and 32-bit addresses) or the plain bytes (.bin). HEX and S-record\n"
     "addresses are device addresses.\n"
     "\n"
     "  --raw                  write the image's plain bytes, from the unit's first address on\n",
     kOptionRaw, kTemplate, 1, 1, RunExport},
    {"import", "TEMPLATE FILE [--raw] [--force]",
     "read the unit's data from a .tdf, .hex, .srec or .bin file",
     "Reads FILE into the unit's data image, in the format its extension names (as for export).\n"
     "A template data file gives the unit's record; one written from a unit of another name is refused\n"
     "unless --force is given, and then its first record is read. A HEX, S-record or binary file gives\n"
     "bytes by address, and bytes it does not give keep their values; a file with a bad line or a byte\n"
     "outside the unit is refused whole.\n"
     "\n"
     "  --force                answer Yes to the question about the unit's name\n"
     "  --raw                  FILE holds the image's plain bytes from the unit's first address on; a\n"
     "                         shorter file changes only the first bytes\n",
     kOptionRaw | kOptionForce, kTemplate, 1, 1, RunImport},
    {"read", "TEMPLATE --plugin FILE --port NAME", "read the unit's items from the chip",
     "Reads the enabled items' bits from the chip into the unit's values, then lists the unit as list\n"
     "does.\n"
     "\n"
     "  --disable NAME,...     leave these items as they are\n",
     kOptionDisable, kTemplate, 0, 0, RunRead},
    {"program", "TEMPLATE --plugin FILE --port NAME", "program the unit's values into the chip, then verify",
     "Checks the enabled items' values, programs their bits into the chip (the chip keeps its other\n"
     "bits) and verifies them. Before the first write the unit's bytes are saved as a backup (see\n"
     "backups); a backup that cannot be saved ends the program unless --yes is given. Blocks that\n"
     "already hold their values are not written.\n"
     "\n"
     "  --disable NAME,...     leave these items on the chip as they are\n"
     "  --increment NAME       after a successful program and verify, add one to the NUM item NAME\n"
     "                         and save it, so that the next board gets the next number\n"
     "  --no-backup            write without saving the chip's bytes first\n",
     kOptionDisable | kOptionIncrement | kOptionNoBackup, kTemplate, 0, 0, RunProgram},
    {"verify", "TEMPLATE --plugin FILE --port NAME", "compare the chip with the unit's values",
     "Checks the enabled items' values and compares their bits with the chip. Each difference is a line\n"
     "on standard output: the item's name, the chip's value and the expected one, tab-separated; bits\n"
     "that no item owns are named @ADDRESS.\n"
     "\n"
     "  --disable NAME,...     leave these items out of the comparison\n",
     kOptionDisable, kTemplate, 0, 0, RunVerify},
    {"diff", "TEMPLATE --plugin FILE --port NAME [--all]", "list the items whose chip value differs",
     "Reads the chip, changing neither the values nor the companion file, and prints a line for each\n"
     "enabled item whose chip value differs from its value: name, chip value, value, tab-separated.\n"
     "Exits 0 when nothing differs, 1 when something does.\n"
     "\n"
     "  --all                  compare disabled items too\n",
     kOptionAll, kTemplate, 0, 0, RunDiff},
    {"backups", "TEMPLATE", "list the unit's chip backups, newest first",
     "Prints the path of each backup that program saved of the unit, newest first. Backups are kept in\n"
     "$XDG_STATE_HOME/tessaly/backups/<template name>/ (~/.local/state when the variable is unset),\n"
     "the newest 50 of each template.\n",
     kNoOwnOptions, kTemplate, 0, 0, RunBackups},
    {"restore", "TEMPLATE BACKUP --plugin FILE --port NAME", "write a backup back to the chip",
     "Writes every byte of BACKUP to the unit's addresses, whatever the items, and verifies them. A file\n"
     "whose size is not the unit's is refused before anything is written. The values stay as they are.\n",
     kNoOwnOptions, kTemplate, 1, 1, RunRestore},
    {"plugins", "", "list the programmer plug-ins beside tessaly-cli",
     "Lists the programmer plug-ins in tessaly-cli's directory, where --plugin looks for a file name, as\n"
     "the desktop offers them: one line each, the file name, a tab and the plug-in's description. A .so\n"
     "file that does not load as a plug-in is left out.\n",
     kNoOwnOptions, kNoTemplate, 0, 0, RunPlugins},
    {"ports", "--plugin FILE", "list the ports of a plug-in, one per line",
     "Lists the ports that the plug-in FILE offers, one per line: the names --port takes.\n", kNoOwnOptions,
     kNoTemplate, 0, 0, RunPorts},
}};

constexpr std::string_view kGlobalOptions =
    "Options (anywhere on the line):\n"
    "  --unit NAME            the unit to work on (default: the one the companion file names, else\n"
    "                         the first)\n"
    "  --no-save              leave the companion file untouched (default: values are saved in it\n"
    "                         on exit, as the desktop saves them)\n"
    "  --plugin FILE          programmer plug-in: a file name beside tessaly-cli (tessaly-cli plugins\n"
    "                         lists them), or a path\n"
    "  --port NAME            the plug-in's port (tessaly-cli ports --plugin FILE lists them)\n"
    "  --yes                  answer Yes to device access-error questions (default: No); the same\n"
    "                         question ten times in a row is answered No\n"
    "  --log FILE             append a CSV line for each device command (read, program, verify, diff,\n"
    "                         restore): time, template, unit, plug-in, port, command, result, counter\n"
    "                         value, backup\n"
    "  --delay-io N           I/O delay factor for the plug-in (default 1)\n"
    "  --delay-power-up MS    wait after powering the chip (default 200)\n"
    "  --pulse-pgm MS         time within which a block's write is repeated (default 20)\n"
    "  --pulse-fix MS         rest after programming (default 200)\n"
    "  -h, --help             show this help, or with a command that command's\n"
    "  --version              print tessaly-cli's version and end\n";

constexpr std::string_view kExitStatuses =
    "Exit status: 0 success; 1 the device operation failed, was abandoned or verify found a\n"
    "difference; 2 a usage, template, value or file error.\n";

std::string_view OwnOptionName(std::uint32_t bit) {
    switch (bit) {
        case kOptionAll:
            return "--all";
        case kOptionMask:
            return "--mask";
        case kOptionDisable:
            return "--disable";
        case kOptionIncrement:
            return "--increment";
        case kOptionForce:
            return "--force";
        case kOptionRaw:
            return "--raw";
        case kOptionFormat:
            return "--format";
        case kOptionNoBackup:
            return "--no-backup";
        default:
            return "--output";
    }
}

// The command's name and what follows it.
std::string CommandAndSynopsis(const CommandInfo& command) {
    std::string text(command.name);
    if (!command.synopsis.empty()) {
        text += ' ';
        text += command.synopsis;
    }
    return text;
}

std::string UsageLine(const CommandInfo& command) {
    return "tessaly-cli " + CommandAndSynopsis(command);
}

}  // namespace

const CommandInfo* FindCommand(std::string_view name) {
    for (const CommandInfo& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

std::string OverviewHelp() {
    std::string text =
        "Usage: tessaly-cli [OPTIONS] COMMAND [TEMPLATE] [ARGS...]\n"
        "\n"
        "Works on a template (.dev) and its values as the desktop does, from a shell. Values are kept\n"
        "in the template's companion file (.cfg), which the desktop shares.\n"
        "\n"
        "Commands:\n";
    for (const CommandInfo& command : kCommands) {
        std::string left = "  " + CommandAndSynopsis(command);
        // A synopsis too long for the column puts its summary on a line of its own.
        left += left.size() + 2 > kSummaryColumn ? "\n" + std::string(kSummaryColumn, ' ')
                                                 : std::string(kSummaryColumn - left.size(), ' ');
        text += left + std::string(command.summary) + "\n";
    }
    return text + "\n" + std::string(kGlobalOptions) + "\n" + std::string(kExitStatuses) +
           "\"tessaly-cli COMMAND --help\" describes a command.\n";
}

std::string CommandHelp(const CommandInfo& command) {
    return "Usage: " + UsageLine(command) + "\n\n" + std::string(command.details) + "\n" +
           std::string(kGlobalOptions) + "\n" + std::string(kExitStatuses);
}

CliResult CheckUsage(const CommandInfo& command, const CommandLine& line) {
    const std::size_t count = line.args.size();
    const bool templateFits = command.takesTemplate != line.templatePath.empty();
    if (!templateFits || count < command.leastArguments || count > command.mostArguments) {
        return CliResult::Error("usage: " + UsageLine(command));
    }
    const std::uint32_t refused = line.ownOptions & ~command.ownOptions;
    if (refused != 0) {
        const std::uint32_t first = refused & (~refused + 1);
        return CliResult::Error(std::string(OwnOptionName(first)) + " does not apply to " +
                                std::string(command.name));
    }
    return CliResult::Ok();
}

}  // namespace tessaly
