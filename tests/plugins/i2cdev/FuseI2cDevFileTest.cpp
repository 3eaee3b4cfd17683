#include <gtest/gtest.h>
#include <linux/i2c.h>

#include <cerrno>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "../LoadedPlugin.h"
#include "EmulatedEeprom.h"
#include "FakeSystemTree.h"
#include "FuseI2cDevice.h"
#include "device/PluginInterface.h"
#include "plugins/i2cdev/Eeprom24.h"
#include "plugins/i2cdev/I2cDevFile.h"

namespace tessaly {
namespace {

using test::EmulatedEeprom;
using test::FakeSystemTree;
using test::FuseI2cDevice;
using test::LoadedPlugin;
using test::ScopedSystemRoots;
using Segment = EmulatedEeprom::Segment;

// The real ioctl layer against a device file that the kernel serves from this process: an emulated
// 24C16 (16-byte pages, busy for two transfers after each write) as adapter i2c-3.
class FuseI2cDevFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        chip.writeCycleTransfers = 2;
        if (!device.IsMounted()) {
            GTEST_SKIP() << "no fake device file: " << device.Problem();
        }
    }

    AdapterConnection Open() { return I2cDevFile::Open(device.DeviceFile().string()); }

    EmulatedEeprom chip{{.size = 2048, .pageSize = 16}};
    FuseI2cDevice device{3, chip};
};

TEST_F(FuseI2cDevFileTest, AnSmbusOnlyAdapterCannotSendPlainI2c) {
    device.functions = I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA | I2C_FUNC_SMBUS_I2C_BLOCK;
    EXPECT_EQ(Open().state, AdapterState::NoPlainI2c);
}

TEST_F(FuseI2cDevFileTest, BlocksGoThroughI2cRdwrAsTheChipExpectsThem) {
    AdapterConnection connection = Open();
    ASSERT_EQ(connection.state, AdapterState::Ready);
    EXPECT_TRUE(chip.log.empty()) << "opening put something on the bus";
    Eeprom24 eeprom(*connection.transport, {0x50, 16, false});
    std::vector<std::uint8_t> data(16);
    std::iota(data.begin(), data.end(), 0x30);
    std::uint32_t done = 0;
    ASSERT_EQ(eeprom.Write(0x5A0, data, done), Status::Ok);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x55, false, 17}}));

    std::vector<std::uint8_t> buffer(16);
    EXPECT_EQ(eeprom.Read(0x5A0, buffer, done), Status::NotAcknowledged);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(eeprom.Read(0x5A0, buffer, done), Status::NotAcknowledged);
    ASSERT_EQ(eeprom.Read(0x5A0, buffer, done), Status::Ok);
    EXPECT_EQ(done, 16u);
    EXPECT_EQ(buffer, data);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x55, false, 1}, {0x55, true, 16}}));
}

TEST_F(FuseI2cDevFileTest, ANakReportedAsEremoteioIsANakTooAndABusErrorAnAdapterError) {
    for (const auto& [error, status] :
         {std::pair{EREMOTEIO, Status::NotAcknowledged}, {EIO, Status::AdapterError}}) {
        device.nakErrno = error;
        AdapterConnection connection = Open();
        ASSERT_EQ(connection.state, AdapterState::Ready);
        EXPECT_EQ(Eeprom24(*connection.transport, {0x58, 16, false}).Probe(), status) << error;
    }
}

// The whole plug-in as the host drives it, down to the kernel and back.
TEST_F(FuseI2cDevFileTest, TheLoadedPluginProgramsTheChipThroughTheKernel) {
    FakeSystemTree tree;
    tree.Write("sys/class/i2c-dev/i2c-3/name", "Fake bridge\n");
    const ScopedSystemRoots roots({device.DevRoot(), tree.Paths().sysRoot});
    LoadedPlugin plugin(TESSALY_I2CDEV_MODULE);
    ASSERT_TRUE(plugin.IsLoaded());

    std::vector<char> ports(256);
    ASSERT_GT(plugin.PGM_EnumeratePorts(ports.data(), 256), 0);
    EXPECT_EQ(std::string(ports.data()), "i2c-3:50");
    EXPECT_EQ(device.opens, 0) << "listing ports opened the device file";
    EXPECT_EQ(device.ioctls, 0);

    const std::uint32_t session = plugin.PGM_Attach("i2c-3:50/16");
    ASSERT_NE(session, 0u);
    EXPECT_EQ(plugin.PGM_Reset(session), 0);
    EXPECT_EQ(plugin.PGM_SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, 0), 0);
    std::uint32_t value = 0;
    for (const std::uint32_t code :
         {PGM_SESSION_HARDWARE_IDENTIFIED, PGM_SESSION_HARDWARE_PLUGGED, PGM_SESSION_CHIP_PRESENT}) {
        value = 0;
        ASSERT_EQ(plugin.PGM_GetSessionFacility(session, code, &value), 0) << code;
        EXPECT_EQ(value, 1u) << code;
    }
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, true, 1}}));

    std::vector<std::uint8_t> data(16);
    std::iota(data.begin(), data.end(), 0x80);
    std::uint32_t length = 16;
    ASSERT_EQ(plugin.PGM_Write(session, 0x7F0, data.data(), &length), 0);
    EXPECT_EQ(length, 16u);
    std::vector<std::uint8_t> buffer(16);
    int attempts = 0;
    std::int32_t status = 1;
    while (status == 1 && attempts < 10) {
        length = 16;
        status = plugin.PGM_Read(session, 0x7F0, buffer.data(), &length);
        ++attempts;
    }
    ASSERT_EQ(status, 0);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(buffer, data);

    EXPECT_EQ(plugin.PGM_Reset(session), 0);
    length = 16;
    EXPECT_EQ(plugin.PGM_Read(session, 0x7F0, buffer.data(), &length), 4);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(plugin.PGM_Detach(session), 0);
}

}  // namespace
}  // namespace tessaly
