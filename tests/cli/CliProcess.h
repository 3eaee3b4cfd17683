#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessaly::test {

// What one run of the executable left: its exit status (-1 when it did not exit normally or had to be
// killed) and everything it wrote.
struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Where the child's standard output goes: captured, a pipe whose reader has gone, or a full disk.
enum class StandardOutput { Captured, ClosedPipe, FullDevice };
// Where its standard error goes: captured in a file, or a pseudo-terminal whose output is captured (its
// line breaks then arrive as CR LF).
enum class StandardError { Captured, Terminal };

// Runs the real tessaly-cli with args, its standard input empty and its outputs captured in files of
// scratch. The child gets this process's environment with each "NAME=VALUE" of environment set over
// it. A run that takes longer than a minute is killed, so that a hang fails the test instead of holding
// the suite.
CliOutput RunCli(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                 const std::filesystem::path& scratch, StandardOutput out = StandardOutput::Captured,
                 StandardError err = StandardError::Captured);

}  // namespace tessaly::test
