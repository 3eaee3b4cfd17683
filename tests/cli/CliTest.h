#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SimulatorSandbox.h"

namespace tessaly::test {

// What one run of tessaly-cli left: its exit status (-1 when it did not exit normally or had to be
// killed) and everything it wrote.
struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Where the child's standard output goes: captured, or a pipe whose reader has gone.
enum class StandardOutput { Captured, ClosedPipe };
// Where its standard error goes: captured, or a pseudo-terminal (its line breaks then arrive as CR LF).
enum class StandardError { Captured, Terminal };

// Runs the real tessaly-cli in a sandbox of its own: the templates, their companion files and the
// simulator's chips (no write cycle) in one temporary directory, and the user's configuration
// (XDG_CONFIG_HOME) there too, so that the desktop's MemoryInit is its default, 0xFF.
class CliTest : public ::testing::Test {
  protected:
    CliTest();

    // Runs tessaly-cli with args and an empty standard input. A run that takes longer than a minute is
    // killed, so that a hang fails the test instead of holding the suite.
    CliOutput Run(const std::vector<std::string>& args, StandardOutput out = StandardOutput::Captured,
                  StandardError err = StandardError::Captured) const;

    std::string Path(const std::string& name) const { return (sandbox.Root() / name).string(); }
    // A template from plain text, encoded as template files are stored; returns its path.
    std::string WriteTemplate(const std::string& name, const std::string& plain) const;
    // A board template: unit Board (I2C8) with a serial number at 4-7 and year and week numbers that the
    // fill 0xFF leaves out of range. Returns its path.
    std::string WriteBoard(const std::string& name = "board.dev") const;

    SimulatorSandbox sandbox;
};

}  // namespace tessaly::test
