#include "CliTest.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/ScriptCodec.h"

namespace tessaly::test {

namespace fs = std::filesystem;

void CliTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "tessaly-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory = pattern;
    fs::create_directories(directory / "sim");
    fs::create_directories(directory / "config");
}

void CliTest::TearDown() {
    std::error_code error;
    fs::remove_all(directory, error);
}

CliOutput CliTest::Run(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                       StandardOutput out, StandardError err) {
    std::vector<std::string> entries = {
        "TESSALY_SIM_DIR=" + (directory / "sim").string(),
        "TESSALY_SIM_TWR_US=0",
        "TESSALY_SIM_FAULTS=",
        "XDG_CONFIG_HOME=" + (directory / "config").string(),
    };
    entries.insert(entries.end(), environment.begin(), environment.end());
    return RunCli(args, entries, directory, out, err);
}

std::string CliTest::WriteTemplate(const std::string& name, const std::string& plain) {
    const fs::path path = directory / name;
    std::ofstream(path, std::ios::binary) << EncodeScript(plain);
    return path.string();
}

std::string CliTest::CopyBoardExample(const std::string& name) {
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    const fs::path example = fs::path(source == nullptr ? "." : source) / "examples" / "board-24c02.dev";
    const fs::path path = directory / name;
    fs::copy_file(example, path, fs::copy_options::overwrite_existing);
    return path.string();
}

std::vector<std::string> CliTest::BoardValues() {
    return {
        "Serial number=1000",       "Hardware revision=2",    "Manufacture year (since 2000)=24",
        "Manufacture week=20",      "Product variant=Pro",    "Board name=Tessaly",
        "MAC address OUI=1A2B3C",   "MAC address NIC=4D5E6F", "DHCP=On",
        "Link speed=Auto",          "Wake on LAN=Disabled",   "Host name=bench-1",
        "Core voltage (mV)=900",    "Fan mode=Quiet",         "Watchdog=Enabled",
        "Temperature limit (C)=85", "Boot delay (ms)=500",    "ADC offset=1234",
        "ADC gain (x1000)=1000",
    };
}

std::vector<std::string> CliTest::SimulatorOptions(const std::string& port) {
    return {"--plugin", "tessaly-sim.so", "--port", port, "--delay-power-up", "0", "--pulse-fix", "0"};
}

fs::path CliTest::ChipFile(const std::string& port) const {
    return directory / "sim" / (port + ".bin");
}

std::vector<std::uint8_t> CliTest::FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> CliTest::Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CliTest::With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace tessaly::test
