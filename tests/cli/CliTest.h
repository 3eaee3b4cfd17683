#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CliProcess.h"

namespace tessaly::test {

// A fresh directory per test holding the templates, their companion files, the simulator's chip files
// (TESSALY_SIM_DIR, with no write cycle) and the user's configuration (XDG_CONFIG_HOME, so that the
// desktop's MemoryInit is its default, 0xFF), all handed to the child's environment only.
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs tessaly-cli in this test's environment, with extra "NAME=VALUE" entries on top.
    CliOutput Run(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                  StandardOutput out = StandardOutput::Captured, StandardError err = StandardError::Captured);

    // A template from plain text, encoded as template files are stored; returns its path.
    std::string WriteTemplate(const std::string& name, const std::string& plain);
    // The example board template (unit Board, I2C8, 256 bytes) copied into the directory.
    std::string CopyBoardExample(const std::string& name = "board.dev");
    // Valid values for every item of the board template, as set arguments.
    static std::vector<std::string> BoardValues();

    // The simulator on a 24C02 with no delays: the options of a fast device command.
    static std::vector<std::string> SimulatorOptions(const std::string& port = "24C02");
    std::filesystem::path ChipFile(const std::string& port = "24C02") const;

    static std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path);
    static std::vector<std::string> Lines(const std::string& text);
    // args with more arguments appended.
    static std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more);

    std::filesystem::path directory;
};

}  // namespace tessaly::test
