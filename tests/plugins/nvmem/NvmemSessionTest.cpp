// Ports and sessions on plain files standing in for the kernel's: which files are ports, what the host
// learns of a file, and reads and writes confined to the file and to a block.
#include <gtest/gtest.h>

#include "FakeSysfs.h"
#include "device/PluginInterface.h"
#include "plugins/nvmem/NvmemSession.h"
#include "plugins/nvmem/SysfsPorts.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

class NvmemSessionTest : public ::testing::Test {
  protected:
    std::uint32_t Facility(const NvmemSession& session, std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(session.GetFacility(code, value), PluginStatus::Ok) << code;
        return value;
    }

    test::FakeSysfs sysfs_;
};

TEST_F(NvmemSessionTest, TransfersStayInTheFileAndInOneBlock) {
    const NvmemSession small("0-00500", sysfs_.AddNvmem("0-00500", std::string(100, '\x11')));
    const NvmemSession large("1-00500", sysfs_.AddNvmem("1-00500", std::string(8192, '\x22')));
    EXPECT_EQ(Facility(small, PGM_SESSION_BLOCK_SIZE), 100u);
    EXPECT_EQ(Facility(large, PGM_SESSION_BLOCK_SIZE), 4096u);

    Bytes buffer(256, 0);
    std::uint32_t done = 0;
    EXPECT_EQ(small.Read(90, buffer, done), PluginStatus::Ok);
    EXPECT_EQ(done, 10u) << "the file is shorter than the unit";
    EXPECT_EQ(small.Read(100, buffer, done), PluginStatus::InvalidRequest);
    EXPECT_EQ(large.Write(4000, Bytes(256, 0x33), done), PluginStatus::Ok);
    EXPECT_EQ(done, 96u) << "up to the end of the block";
    const std::string file = test::ReadBytes(sysfs_.Root() / "sys/bus/nvmem/devices/1-00500/nvmem");
    EXPECT_EQ(file.substr(3999, 98), '\x22' + std::string(96, '\x33') + '\x22');
    EXPECT_EQ(small.SetFacility(PGM_SESSION_WIDE_ADDRESSING, 1), PluginStatus::Ok) << "any bus works";
    EXPECT_EQ(small.SetFacility(PGM_SESSION_IO_DELAY, 100), PluginStatus::Ok) << "a file needs no delay";
}

// A sysfs attribute without a write operation refuses writing to everyone, root included; a plain file
// with no write permission would not stop root.
TEST_F(NvmemSessionTest, AReadOnlyFileIsReadButRefusesProgrammingAtOnceAndSaysWhy) {
    const std::filesystem::path readOnly = "/sys/devices/system/cpu/online";
    const std::filesystem::path writeOnly = "/sys/bus/platform/uevent";
    if (!std::filesystem::exists(readOnly) || !std::filesystem::exists(writeOnly)) {
        GTEST_SKIP() << "needs the kernel's sysfs at /sys";
    }
    const NvmemSession session("0-00500", readOnly);
    Bytes buffer(2, 0);
    std::uint32_t done = 0;
    EXPECT_EQ(session.Read(0, buffer, done), PluginStatus::Ok);
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(session.Write(0, buffer, done), PluginStatus::HardwareError);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(session.FirmwareText(), "read only, no write permission: " + readOnly.string());

    const NvmemSession gone("0-00510", sysfs_.Root() / "gone");
    EXPECT_EQ(Facility(gone, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_EQ(gone.Read(0, buffer, done), PluginStatus::InvalidRequest);
    // The kernel refuses reading a write-only attribute, root included.
    const NvmemSession writeOnlySession("0-00520", writeOnly);
    EXPECT_EQ(writeOnlySession.Read(0, buffer, done), PluginStatus::HardwareError);
}

TEST(SysfsPortsTest, ListsBothKindsOfMemoryFileInByteOrderAndFindsOnlyThem) {
    const test::FakeSysfs sysfs;
    const SysfsPorts ports(sysfs.Root());
    EXPECT_FALSE(ports.HasDriver());
    const auto nvmem = sysfs.AddNvmem("0-00500", "");
    const auto eeprom = sysfs.Root() / "sys/bus/i2c/devices/0-0050/eeprom";
    test::WriteBytes(eeprom, "");
    sysfs.AddNvmem("cmos_nvram0_too_long", "");
    std::filesystem::create_directories(sysfs.Root() / "sys/bus/i2c/devices/1-0052");

    EXPECT_TRUE(ports.HasDriver());
    EXPECT_EQ(ports.Names(), (std::vector<std::string>{"0-0050", "0-00500"}));
    EXPECT_EQ(ports.File("0-00500"), nvmem);
    EXPECT_EQ(ports.File("0-0050"), eeprom);
    for (const char* other : {"1-0052", "", ".", "..", "../nvmem/devices/0-00500", "0-005"}) {
        EXPECT_EQ(ports.File(other), std::nullopt) << other;
    }
}

}  // namespace
}  // namespace tessaly
