#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ScopedEnvironment.h"
#include "TestFiles.h"

namespace tessaly::test {

// The chip simulator's environment for one test: a chip directory of its own inside a fresh temporary
// directory, which also holds the state home (XDG_STATE_HOME, where chip backups go), the given write cycle,
// and none of the simulator's other variables, so that nothing from the developer's shell leaks in.
// Everything is put back when the object goes. The simulator reads its environment when a session is
// attached, so every session must end before the object does, and SetFaults may only be called while no
// session runs.
class SimulatorSandbox {
  public:
    explicit SimulatorSandbox(std::chrono::microseconds writeCycle = {});

    const std::filesystem::path& Root() const { return root_.Path(); }
    std::filesystem::path ChipDirectory() const { return root_.Path() / "sim"; }
    ScopedEnvironment& Environment() { return environment_; }

    // The failures the next sessions fake (TESSALY_SIM_FAULTS); empty for none.
    void SetFaults(const std::string& faults);

    // The memory file of the chip named like the simulator's port, one byte per address.
    std::filesystem::path ChipFile(std::string_view chip) const;
    void WriteChip(std::string_view chip, const std::vector<std::uint8_t>& bytes) const;
    // Empty when the file cannot be read.
    std::vector<std::uint8_t> ReadChip(std::string_view chip) const;

  private:
    TempDirectory root_;
    ScopedEnvironment environment_;
};

}  // namespace tessaly::test
