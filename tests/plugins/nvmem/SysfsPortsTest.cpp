#include "plugins/nvmem/SysfsPorts.h"

#include <gtest/gtest.h>

#include "FakeSysfs.h"

namespace tessaly {
namespace {

using Names = std::vector<std::string>;

TEST(SysfsPortsTest, ListsBothKindsOfMemoryFileInByteOrderAndFindsOnlyThem) {
    const test::FakeSysfs sysfs;
    const SysfsPorts ports(sysfs.Root());
    EXPECT_FALSE(ports.HasDriver());
    const auto nvmem = sysfs.AddNvmem("0-00500", "");
    const auto eeprom = sysfs.AddEeprom("0-0050", "");
    sysfs.AddNvmem("cmos_nvram0_too_long", "");
    sysfs.AddEeprom("1-0051", "");
    std::filesystem::create_directories(sysfs.Root() / "sys/bus/i2c/devices/1-0052");

    EXPECT_TRUE(ports.HasDriver());
    EXPECT_EQ(ports.Names(), (Names{"0-0050", "0-00500", "1-0051"}));
    EXPECT_EQ(ports.File("0-00500"), nvmem);
    EXPECT_EQ(ports.File("0-0050"), eeprom);
    for (const char* other : {"1-0052", "", ".", "..", "../nvmem/devices/0-00500", "0-005"}) {
        EXPECT_EQ(ports.File(other), std::nullopt) << other;
    }
}

}  // namespace
}  // namespace tessaly
