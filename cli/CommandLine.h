#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliResult.h"
#include "device/WorkerSettings.h"

namespace tessaly {

// The options that belong to some commands only; a command refuses those it does not take.
enum OwnOption : std::uint32_t {
    kOptionAll = 1u << 0,
    kOptionMask = 1u << 1,
    kOptionDisable = 1u << 2,
    kOptionIncrement = 1u << 3,
    kOptionForce = 1u << 4,
    kOptionRaw = 1u << 5,
    kOptionOutput = 1u << 6,
    kOptionFormat = 1u << 7,
    kOptionNoBackup = 1u << 8,
};

// One invocation, "tessaly-cli [OPTIONS] COMMAND TEMPLATE [ARGS...]", with the options wherever they
// stood on the line.
struct CommandLine {
    std::string command;
    std::string templatePath;       // for encode: the plain text to encode
    std::vector<std::string> args;  // what follows TEMPLATE
    bool help = false;
    bool version = false;

    // Global options.
    std::string plugin;
    std::string port;
    std::string unit;  // empty: the unit the companion file names, else the first
    bool yes = false;
    bool noSave = false;
    std::string log;        // the production record the device commands append to; empty for none
    WorkerSettings delays;  // the desktop's defaults unless given

    // Options of some commands; ownOptions has a bit for each one given.
    std::uint32_t ownOptions = 0;
    bool all = false;
    bool mask = false;
    bool force = false;
    bool raw = false;
    bool noBackup = false;
    std::vector<std::string> disabled;  // item names or #N, from every --disable, split at commas
    std::string increment;
    std::string output;
    std::string format;  // dump --format: hex or srec
};

// Reads argv with getopt_long, which permutes, so options may stand before or after the positional
// arguments. Fails on an unknown option, a missing or malformed option value, or a missing command (which
// --help and --version do without); whether the command exists and takes what was given is the command
// table's to judge.
CliResult ParseCommandLine(int argc, char** argv, CommandLine& line);

}  // namespace tessaly
