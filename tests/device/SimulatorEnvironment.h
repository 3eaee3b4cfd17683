#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::test {

// The chip simulator's environment for one test: a chip directory of its own and the chip's write cycle,
// set while the object lives and unset afterwards, when the directory goes too. The environment is not
// safe to change while a simulator session reads it, so every session must end before the object does,
// and SetFaults may only be called while no session runs.
class SimulatorEnvironment {
  public:
    explicit SimulatorEnvironment(std::chrono::microseconds writeCycle);
    ~SimulatorEnvironment();
    SimulatorEnvironment(const SimulatorEnvironment&) = delete;
    SimulatorEnvironment& operator=(const SimulatorEnvironment&) = delete;

    // False when the directory could not be made; nothing else works then.
    bool Ready() const { return !directory_.empty(); }
    // The failures the next sessions fake (TESSALY_SIM_FAULTS); empty for none.
    void SetFaults(const std::string& faults) const;

    // The memory file of the chip named like the simulator's port, one byte per address.
    std::filesystem::path ChipFile(std::string_view chip) const;
    bool WriteChip(std::string_view chip, const std::vector<std::uint8_t>& bytes) const;
    // Empty when the file cannot be read.
    std::vector<std::uint8_t> ReadChip(std::string_view chip) const;

  private:
    std::filesystem::path directory_;
};

}  // namespace tessaly::test
