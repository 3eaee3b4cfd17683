#include "SimSandbox.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace tessaly::test {

SimSandbox::SimSandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-sim-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    root_ = pattern;
    environment_.Set("TESSALY_SIM_DIR", SimDirectory().string());
    environment_.Set("TESSALY_SIM_TWR_US", "0");
    environment_.Unset("TESSALY_SIM_BUS_KHZ");
    environment_.Unset("TESSALY_SIM_FAULTS");
}

SimSandbox::~SimSandbox() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace tessaly::test
