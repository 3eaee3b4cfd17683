// plugins and ports: what a user needs to find the --plugin and --port to give, without the desktop.
#include <algorithm>
#include <string>
#include <vector>

#include "CliTest.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

class PluginCommandsTest : public CliTest {};

TEST_F(PluginCommandsTest, PluginsListsEveryPluginBesideTheExecutableWithItsDescription) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(TESSALY_CLI_PATH).parent_path())) {
        if (entry.path().extension() == ".so") {
            files.push_back(entry.path().filename().string());
        }
    }
    std::sort(files.begin(), files.end());

    const CliOutput output = Run({"plugins"});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    const std::vector<std::string> lines = Lines(output.out);
    std::vector<std::string> listed;
    for (const std::string& line : lines) {
        listed.push_back(line.substr(0, line.find('\t')));
    }
    EXPECT_EQ(listed, files);
    EXPECT_NE(
        std::find(lines.begin(), lines.end(),
                  "tessaly-sim.so\tChip simulator: I2C and SPI EEPROMs kept in files, no hardware needed"),
        lines.end())
        << output.out;
}

TEST_F(PluginCommandsTest, PortsListsThePortsOfThePluginOnePerLine) {
    const CliOutput output = Run({"ports", "--plugin", "tessaly-sim.so"});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    const std::vector<std::string> lines = Lines(output.out);
    ASSERT_EQ(lines.size(), 13u) << output.out;
    EXPECT_EQ(lines.front(), "24C01");
    EXPECT_EQ(lines[1], "24C02");
    EXPECT_EQ(lines.back(), "25LC512");
}

}  // namespace
}  // namespace tessaly::test
