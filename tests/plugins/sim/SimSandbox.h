#pragma once

#include <filesystem>
#include <string>

#include "ScopedEnvironment.h"

namespace tessaly::test {

// A fresh temporary directory for the simulator's files, removed at the end, with the simulator's
// variables cleared so that nothing from the developer's shell leaks into a test. TESSALY_SIM_DIR points
// into the directory and the write cycle is 0, so that a test may write again at once; a test that wants
// more sets it.
class SimSandbox {
  public:
    SimSandbox();
    ~SimSandbox();
    SimSandbox(const SimSandbox&) = delete;
    SimSandbox& operator=(const SimSandbox&) = delete;

    // The temporary directory; the simulator's directory is SimDirectory() inside it.
    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path SimDirectory() const { return root_ / "sim"; }
    ScopedEnvironment& Environment() { return environment_; }

  private:
    std::filesystem::path root_;
    ScopedEnvironment environment_;
};

// The file's bytes, or an empty text when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tessaly::test
