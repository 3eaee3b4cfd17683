// The exports wired to adapter discovery, port names and sessions on a fake /dev and /sys; what every
// plug-in owes the host is PluginContractTest's.

#include <gtest/gtest.h>

#include "../LoadedPlugin.h"
#include "FakeSystemTree.h"
#include "ScopedEnvironment.h"

namespace tessaly {
namespace {

class EntryPointsTest : public ::testing::Test {
  protected:
    EntryPointsTest() {
        environment.Set("TESSALY_I2C_DEV_ROOT", tree.Paths().devRoot.string());
        environment.Set("TESSALY_I2C_SYS_ROOT", tree.Paths().sysRoot.string());
    }

    test::FakeSystemTree tree;
    test::ScopedEnvironment environment;
    test::LoadedPlugin plugin{TESSALY_I2CDEV_MODULE};
};

TEST_F(EntryPointsTest, TheDriverIsThereWithTheDeviceFilesAndNothingElseIsOffered) {
    tree.AddAdapter(1, "");
    EXPECT_EQ(plugin.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    for (const std::uint32_t code : {PGM_GLOBAL_CAN_MANAGE_DRIVER, PGM_GLOBAL_INSTALL_DRIVER,
                                     PGM_GLOBAL_UNINSTALL_DRIVER, PGM_GLOBAL_IO_DELAY_RANGE}) {
        EXPECT_NE(plugin.PGM_GetGlobalFacility(code, nullptr), 0) << code;
    }
    std::filesystem::remove_all(tree.Path());
    EXPECT_EQ(plugin.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 0u);
}

// A missing device file is identified (nothing unusable is there) but unplugged.
TEST_F(EntryPointsTest, ASessionTakesItsPageSizeFromItsNameAndAsksItsAdapter) {
    const std::uint32_t missing = plugin.PGM_Attach("i2c-7:50/32");
    EXPECT_EQ(plugin.Facility(missing, PGM_SESSION_BLOCK_SIZE), 32u);
    EXPECT_EQ(plugin.Facility(missing, PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(plugin.Facility(missing, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_EQ(plugin.Facility(missing, PGM_SESSION_CHIP_PRESENT, 4), 0u);
    EXPECT_EQ(plugin.PGM_Detach(missing), 0);
}

}  // namespace
}  // namespace tessaly
