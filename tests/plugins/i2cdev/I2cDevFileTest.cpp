#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "FakeSystemTree.h"
#include "plugins/i2cdev/I2cDevAdapter.h"
#include "plugins/i2cdev/I2cDevFile.h"
#include "plugins/i2cdev/I2cErrno.h"

namespace tessaly {
namespace {

using test::FakeSystemTree;

// A regular file in place of /dev/i2c-N opens, but answers no i2c-dev ioctl (ENOTTY): the real layer has
// to turn that into "cannot send plain I2C", never into a hang or a crash.
TEST(I2cDevFileTest, OpeningTellsAFileThatIsNotAnAdapterAMissingOneAndADirectoryApart) {
    FakeSystemTree tree;
    tree.AddAdapter(1, "impostor");
    const AdapterConnection connection = I2cDevFile::Open(tree.Paths().DeviceFile(1).string());
    EXPECT_EQ(connection.state, AdapterState::NoPlainI2c);
    EXPECT_EQ(connection.transport, nullptr);
    tree.Write("dev/i2c-2/inside", "");
    EXPECT_EQ(I2cDevFile::Open(tree.Paths().DeviceFile(5).string()).state, AdapterState::Absent);
    EXPECT_EQ(I2cDevFile::Open(tree.Paths().DeviceFile(2).string()).state, AdapterState::Inaccessible);
}

TEST(I2cDevFileTest, TheAdapterReadsItsNameFromSysfs) {
    FakeSystemTree tree;
    tree.AddAdapter(3, "MCP2221 usb-i2c bridge");
    const I2cDevAdapter adapter(tree.Paths(), 3);
    EXPECT_EQ(adapter.Name(), "MCP2221 usb-i2c bridge");
    EXPECT_EQ(I2cDevAdapter(tree.Paths(), 4).Name(), "");
}

TEST(I2cErrnoTest, OnlyAnUnansweredAddressIsANak) {
    EXPECT_EQ(StatusFromTransferError(ENXIO), Status::NotAcknowledged);
    EXPECT_EQ(StatusFromTransferError(EREMOTEIO), Status::NotAcknowledged);
    for (const int error : {EIO, EAGAIN, ETIMEDOUT, EOPNOTSUPP, EINVAL, ENODEV, ESHUTDOWN, ENOTTY, EPROTO,
                            EMSGSIZE, EINTR, EBUSY, 0}) {
        EXPECT_EQ(StatusFromTransferError(error), Status::AdapterError) << error;
    }
}

TEST(I2cErrnoTest, AnAdapterThatIsGoneIsAbsentAndAnyOtherOpenFailureInaccessible) {
    for (const int error : {ENOENT, ENODEV, ENXIO}) {
        EXPECT_EQ(AdapterStateFromOpenError(error), AdapterState::Absent) << error;
    }
    for (const int error : {EACCES, EPERM, EISDIR, EBUSY, EMFILE, ELOOP, 0}) {
        EXPECT_EQ(AdapterStateFromOpenError(error), AdapterState::Inaccessible) << error;
    }
}

}  // namespace
}  // namespace tessaly
