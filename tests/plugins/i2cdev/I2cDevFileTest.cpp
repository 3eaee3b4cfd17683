#include "plugins/i2cdev/I2cDevFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "FakeSystemTree.h"
#include "plugins/i2cdev/AdapterDiscovery.h"
#include "plugins/i2cdev/AdapterName.h"
#include "plugins/i2cdev/I2cErrno.h"

namespace tessaly {
namespace {

using test::FakeSystemTree;

// A regular file in place of /dev/i2c-N opens, but answers no i2c-dev ioctl (ENOTTY): that has to become
// "cannot send plain I2C", never a hang or a crash.
TEST(I2cDevFileTest, OpeningTellsAFileThatIsNotAnAdapterAMissingOneAndADirectoryApart) {
    FakeSystemTree tree;
    tree.AddAdapter(1, "impostor");
    tree.Write("dev/i2c-2/inside", "");
    const AdapterConnection connection = I2cDevFile::Open(tree.Paths().DeviceFile(1).string());
    EXPECT_EQ(connection.state, AdapterState::NoPlainI2c);
    EXPECT_EQ(connection.transport, nullptr);
    EXPECT_EQ(I2cDevFile::Open(tree.Paths().DeviceFile(5).string()).state, AdapterState::Absent);
    EXPECT_EQ(I2cDevFile::Open(tree.Paths().DeviceFile(2).string()).state, AdapterState::Inaccessible);
}

TEST(I2cErrnoTest, OnlyAnUnansweredAddressIsANakAndOnlyAnAdapterThatIsGoneIsAbsent) {
    for (const int error : {ENXIO, EREMOTEIO}) {
        EXPECT_EQ(StatusFromTransferError(error), PluginStatus::NoAnswer) << error;
    }
    for (const int error : {EIO, EAGAIN, ETIMEDOUT, EOPNOTSUPP, EINVAL, ENODEV, ENOTTY, EPROTO, EBUSY, 0}) {
        EXPECT_EQ(StatusFromTransferError(error), PluginStatus::HardwareError) << error;
    }
    for (const int error : {ENOENT, ENODEV, ENXIO}) {
        EXPECT_EQ(AdapterStateFromOpenError(error), AdapterState::Absent) << error;
    }
    for (const int error : {EACCES, EPERM, EISDIR, EBUSY, EMFILE, ELOOP, 0}) {
        EXPECT_EQ(AdapterStateFromOpenError(error), AdapterState::Inaccessible) << error;
    }
}

// Names come from the i2c-dev class or else the bus's device directory; only the first line counts, cut,
// with anything unprintable replaced. Files that are not written as adapter numbers are no adapters.
TEST(AdapterDiscoveryTest, FindsTheAdaptersOfTheDeviceRootInOrderWithSafeNames) {
    FakeSystemTree tree;
    tree.AddAdapter(10, "CP2112 SMBus Bridge on hidraw0");
    tree.AddAdapter(2, "");
    tree.Write("sys/bus/i2c/devices/i2c-2/name", "i2c-tiny-usb at bus 001 device 005\n");
    tree.AddAdapter(3, "");
    tree.Write("sys/class/i2c-dev/i2c-3/name", std::string("bridge\x01\xFF\tone\0hidden\nsecond line", 30));
    tree.AddAdapter(4, "");
    tree.Write("sys/class/i2c-dev/i2c-4/name", std::string(100000, 'A'));
    tree.AddAdapter(5, "");
    tree.Write("sys/class/i2c-dev/i2c-5/name/inside", "a directory where the file should be");
    tree.AddAdapter(6, "");
    for (const char* other : {"dev/i2c-01", "dev/i2c-x", "dev/i2c-7/placeholder", "dev/tty0"}) {
        tree.Write(other, "");
    }
    std::vector<std::pair<std::uint32_t, std::string>> found;
    for (const AdapterInfo& adapter : FindAdapters(tree.Paths())) {
        found.emplace_back(adapter.number, adapter.name);
    }
    EXPECT_EQ(found, (std::vector<std::pair<std::uint32_t, std::string>>{
                         {2, "i2c-tiny-usb at bus 001 device 005"},
                         {3, "bridge???one"},
                         {4, std::string(kMaxAdapterNameLength, 'A')},
                         {5, ""},
                         {6, ""},
                         {10, "CP2112 SMBus Bridge on hidraw0"}}));
}

TEST(AdapterDiscoveryTest, TheInterfaceIsThereWithItsSysfsClassOrAnAdapter) {
    FakeSystemTree tree;
    EXPECT_FALSE(IsI2cDevPresent(tree.Paths()));
    tree.Write("sys/class/i2c-dev/.keep", "");
    EXPECT_TRUE(IsI2cDevPresent(tree.Paths()));
    FakeSystemTree adapterOnly;
    adapterOnly.Write("dev/i2c-4", "");
    EXPECT_TRUE(IsI2cDevPresent(adapterOnly.Paths()));
}

}  // namespace
}  // namespace tessaly
