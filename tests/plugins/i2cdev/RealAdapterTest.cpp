#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "plugins/i2cdev/AdapterDiscovery.h"
#include "plugins/i2cdev/Eeprom24.h"
#include "plugins/i2cdev/I2cDevAdapter.h"
#include "plugins/i2cdev/I2cDevFile.h"
#include "plugins/i2cdev/PortName.h"

namespace tessaly {
namespace {

// Every adapter of this machine opens and tells its functions without a byte on any bus.
TEST(RealAdapterTest, EveryAdapterOfThisMachineOpensWithoutTouchingTheBus) {
    const SystemPaths paths;
    const std::vector<AdapterInfo> adapters = FindAdapters(paths);
    if (adapters.empty()) {
        GTEST_SKIP() << "no /dev/i2c-N on this machine; load i2c-dev and connect an adapter to run it";
    }
    for (const AdapterInfo& adapter : adapters) {
        const AdapterState state = I2cDevAdapter(paths, adapter.number).Open().state;
        EXPECT_NE(state, AdapterState::Absent) << "i2c-" << adapter.number << " " << adapter.name;
    }
}

// Reads the first block of a chip that the person running the tests names, twice, and writes it back
// unchanged: TESSALY_I2C_TEST_PORT=i2c-1:50/8 (with the chip's page size), TESSALY_I2C_TEST_WIDE=1 for a
// 24C32 or larger.
TEST(RealAdapterTest, AChipNamedByThePersonRunningTheTestsReadsAndWritesBack) {
    const char* portText = std::getenv("TESSALY_I2C_TEST_PORT");
    const std::optional<PortName> port = portText == nullptr ? std::nullopt : PortName::Parse(portText);
    if (!port) {
        GTEST_SKIP() << "set TESSALY_I2C_TEST_PORT to a port with a chip (for example i2c-1:50/8) to run it";
    }
    const char* wide = std::getenv("TESSALY_I2C_TEST_WIDE");
    I2cDevAdapter adapter(SystemPaths::FromEnvironment(), port->adapter);
    AdapterConnection connection = adapter.Open();
    ASSERT_EQ(connection.state, AdapterState::Ready) << adapter.Name();
    Eeprom24 chip(*connection.transport,
                  {port->address, port->pageSize, wide != nullptr && std::string(wide) == "1"});
    ASSERT_EQ(chip.Probe(), Status::Ok);
    std::vector<std::uint8_t> first(port->pageSize);
    std::vector<std::uint8_t> second(port->pageSize);
    std::uint32_t done = 0;
    ASSERT_EQ(chip.Read(0, first, done), Status::Ok);
    ASSERT_EQ(chip.Read(0, second, done), Status::Ok);
    EXPECT_EQ(first, second);
    ASSERT_EQ(chip.Write(0, first, done), Status::Ok);
    Status status = Status::NotAcknowledged;
    for (int attempt = 0; attempt < 1000 && status == Status::NotAcknowledged; ++attempt) {
        status = chip.Read(0, second, done);
    }
    ASSERT_EQ(status, Status::Ok);
    EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace tessaly
