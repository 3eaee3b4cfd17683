#include "SimulatorSandbox.h"

namespace tessaly::test {

SimulatorSandbox::SimulatorSandbox(std::chrono::microseconds writeCycle) {
    environment_.Set("TESSALY_SIM_DIR", ChipDirectory().string());
    // Chip backups stay in the sandbox too.
    environment_.Set("XDG_STATE_HOME", (root_.Path() / "state").string());
    environment_.Set("TESSALY_SIM_TWR_US", std::to_string(writeCycle.count()));
    environment_.Unset("TESSALY_SIM_BUS_KHZ");
    environment_.Unset("TESSALY_SIM_FAULTS");
}

void SimulatorSandbox::SetFaults(const std::string& faults) {
    environment_.Set("TESSALY_SIM_FAULTS", faults);
}

std::filesystem::path SimulatorSandbox::ChipFile(std::string_view chip) const {
    return ChipDirectory() / (std::string(chip) + ".bin");
}

void SimulatorSandbox::WriteChip(std::string_view chip, const std::vector<std::uint8_t>& bytes) const {
    WriteBytes(ChipFile(chip), std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> SimulatorSandbox::ReadChip(std::string_view chip) const {
    const std::string bytes = ReadBytes(ChipFile(chip));
    return {bytes.begin(), bytes.end()};
}

}  // namespace tessaly::test
