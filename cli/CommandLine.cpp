#include "cli/CommandLine.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "cli/Quoted.h"

namespace tessaly {
namespace {

enum OptionId : int {
    kIdHelp = 'h',
    kIdOutput = 'o',
    kIdPlugin = 256,
    kIdPort,
    kIdUnit,
    kIdYes,
    kIdNoSave,
    kIdDelayIO,
    kIdDelayPowerUp,
    kIdPulsePGM,
    kIdPulseFix,
    kIdAll,
    kIdMask,
    kIdDisable,
    kIdIncrement,
    kIdForce,
    kIdRaw,
    kIdFormat,
    kIdVersion,
    kIdLog,
    kIdNoBackup,
};

// The longest wait a delay option accepts: a minute, so that a typing error cannot make a run hang.
constexpr std::int32_t kLongestDelayMs = 60000;

const option kOptions[] = {
    {"help", no_argument, nullptr, kIdHelp},
    {"version", no_argument, nullptr, kIdVersion},
    {"output", required_argument, nullptr, kIdOutput},
    {"plugin", required_argument, nullptr, kIdPlugin},
    {"port", required_argument, nullptr, kIdPort},
    {"unit", required_argument, nullptr, kIdUnit},
    {"yes", no_argument, nullptr, kIdYes},
    {"no-save", no_argument, nullptr, kIdNoSave},
    {"delay-io", required_argument, nullptr, kIdDelayIO},
    {"delay-power-up", required_argument, nullptr, kIdDelayPowerUp},
    {"pulse-pgm", required_argument, nullptr, kIdPulsePGM},
    {"pulse-fix", required_argument, nullptr, kIdPulseFix},
    {"all", no_argument, nullptr, kIdAll},
    {"mask", no_argument, nullptr, kIdMask},
    {"disable", required_argument, nullptr, kIdDisable},
    {"increment", required_argument, nullptr, kIdIncrement},
    {"force", no_argument, nullptr, kIdForce},
    {"raw", no_argument, nullptr, kIdRaw},
    {"format", required_argument, nullptr, kIdFormat},
    {"log", required_argument, nullptr, kIdLog},
    {"no-backup", no_argument, nullptr, kIdNoBackup},
    {nullptr, 0, nullptr, 0},
};

// The leading colon makes getopt_long report a missing value as ':' rather than '?', and print nothing.
constexpr char kShortOptions[] = ":ho:";

CliResult ParseNumber(std::string_view name, std::string_view text, std::int32_t largest,
                      std::int32_t& value) {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 0 || number > largest) {
        return CliResult::Error("--" + std::string(name) + " takes a whole number from 0 to " +
                                std::to_string(largest) + ", not " + Quoted(text));
    }
    value = number;
    return CliResult::Ok();
}

void SplitNames(std::string_view list, std::vector<std::string>& names) {
    std::size_t begin = 0;
    while (begin <= list.size()) {
        const std::size_t comma = std::min(list.find(',', begin), list.size());
        names.emplace_back(list.substr(begin, comma - begin));
        begin = comma + 1;
    }
}

void ApplyOwnOption(int id, const char* value, CommandLine& line) {
    switch (id) {
        case kIdAll:
            line.ownOptions |= kOptionAll;
            line.all = true;
            break;
        case kIdMask:
            line.ownOptions |= kOptionMask;
            line.mask = true;
            break;
        case kIdDisable:
            line.ownOptions |= kOptionDisable;
            SplitNames(value, line.disabled);
            break;
        case kIdIncrement:
            line.ownOptions |= kOptionIncrement;
            line.increment = value;
            break;
        case kIdForce:
            line.ownOptions |= kOptionForce;
            line.force = true;
            break;
        case kIdRaw:
            line.ownOptions |= kOptionRaw;
            line.raw = true;
            break;
        case kIdOutput:
            line.ownOptions |= kOptionOutput;
            line.output = value;
            break;
        case kIdNoBackup:
            line.ownOptions |= kOptionNoBackup;
            line.noBackup = true;
            break;
        case kIdFormat:
            line.ownOptions |= kOptionFormat;
            line.format = value;
            break;
        default:
            break;
    }
}

CliResult ApplyOption(int id, const char* value, CommandLine& line) {
    switch (id) {
        case kIdHelp:
            line.help = true;
            break;
        case kIdVersion:
            line.version = true;
            break;
        case kIdPlugin:
            line.plugin = value;
            break;
        case kIdPort:
            line.port = value;
            break;
        case kIdUnit:
            line.unit = value;
            break;
        case kIdYes:
            line.yes = true;
            break;
        case kIdNoSave:
            line.noSave = true;
            break;
        case kIdLog:
            line.log = value;
            break;
        case kIdDelayIO:
            return ParseNumber("delay-io", value, std::numeric_limits<std::int32_t>::max(),
                               line.delays.delayIO);
        case kIdDelayPowerUp:
            return ParseNumber("delay-power-up", value, kLongestDelayMs, line.delays.delayPowerUp);
        case kIdPulsePGM:
            return ParseNumber("pulse-pgm", value, kLongestDelayMs, line.delays.pulsePGM);
        case kIdPulseFix:
            return ParseNumber("pulse-fix", value, kLongestDelayMs, line.delays.pulseFix);
        default:
            ApplyOwnOption(id, value, line);
            break;
    }
    return CliResult::Ok();
}

// The option getopt_long could not take, as it stood on the line.
std::string OffendingOption(char** argv) {
    const std::string_view written = argv[optind - 1];
    if (written.starts_with("--") || optopt <= 0 || optopt > 127) {
        return std::string(written.substr(0, written.find('=')));
    }
    return std::string("-") + static_cast<char>(optopt);
}

}  // namespace

CliResult ParseCommandLine(int argc, char** argv, CommandLine& line) {
    opterr = 0;
    optind = 1;
    int id = 0;
    while ((id = getopt_long(argc, argv, kShortOptions, kOptions, nullptr)) != -1) {
        if (id == '?') {
            return CliResult::Error("unknown option " + OffendingOption(argv));
        }
        if (id == ':') {
            return CliResult::Error("option " + OffendingOption(argv) + " needs a value");
        }
        if (CliResult result = ApplyOption(id, optarg, line); !result) {
            return result;
        }
    }
    std::vector<std::string> positional(argv + optind, argv + argc);
    if (!positional.empty()) {
        line.command = positional[0];
    }
    if (positional.size() > 1) {
        line.templatePath = positional[1];
        line.args.assign(positional.begin() + 2, positional.end());
    }
    if (line.command.empty() && !line.help && !line.version) {
        return CliResult::Error("no command given; tessaly-cli --help lists them");
    }
    return CliResult::Ok();
}

}  // namespace tessaly
