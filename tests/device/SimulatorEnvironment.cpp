#include "SimulatorEnvironment.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace tessaly::test {

SimulatorEnvironment::SimulatorEnvironment(std::chrono::microseconds writeCycle) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    directory_ = pattern;
    setenv("TESSALY_SIM_DIR", directory_.c_str(), 1);
    setenv("TESSALY_SIM_TWR_US", std::to_string(writeCycle.count()).c_str(), 1);
    unsetenv("TESSALY_SIM_BUS_KHZ");
    unsetenv("TESSALY_SIM_FAULTS");
}

SimulatorEnvironment::~SimulatorEnvironment() {
    unsetenv("TESSALY_SIM_DIR");
    unsetenv("TESSALY_SIM_TWR_US");
    unsetenv("TESSALY_SIM_FAULTS");
    std::error_code error;
    std::filesystem::remove_all(directory_, error);
}

void SimulatorEnvironment::SetFaults(const std::string& faults) const {
    setenv("TESSALY_SIM_FAULTS", faults.c_str(), 1);
}

std::filesystem::path SimulatorEnvironment::ChipFile(std::string_view chip) const {
    return directory_ / (std::string(chip) + ".bin");
}

bool SimulatorEnvironment::WriteChip(std::string_view chip, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream file(ChipFile(chip), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

std::vector<std::uint8_t> SimulatorEnvironment::ReadChip(std::string_view chip) const {
    std::ifstream file(ChipFile(chip), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace tessaly::test
