// A session on plain files standing in for the kernel's: what the host learns of the file, and reads and
// writes confined to the file and to a block.
#include "plugins/nvmem/NvmemSession.h"

#include <gtest/gtest.h>

#include "FakeSysfs.h"
#include "device/PluginInterface.h"

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
    EXPECT_EQ(buffer[9], 0x11);
    EXPECT_EQ(small.Read(100, buffer, done), PluginStatus::InvalidRequest);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(large.Write(4000, Bytes(256, 0x33), done), PluginStatus::Ok);
    EXPECT_EQ(done, 96u) << "up to the end of the block";
    const std::string file = test::ReadBytes(sysfs_.Root() / "sys/bus/nvmem/devices/1-00500/nvmem");
    EXPECT_EQ(file.substr(3999, 98), '\x22' + std::string(96, '\x33') + '\x22');
    EXPECT_EQ(small.SetFacility(PGM_SESSION_WIDE_ADDRESSING, 1), PluginStatus::Ok) << "any bus works";
}

// A sysfs attribute without a write operation refuses writing to everyone, root included; a plain file
// with no write permission would not stop root.
TEST_F(NvmemSessionTest, AReadOnlyFileIsReadButRefusesProgrammingAtOnceAndSaysWhy) {
    const std::filesystem::path readOnly = "/sys/devices/system/cpu/online";
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
    EXPECT_EQ(Facility(gone, PGM_SESSION_CHIP_PRESENT), 0u);
    EXPECT_EQ(gone.Read(0, buffer, done), PluginStatus::InvalidRequest);
}

}  // namespace
}  // namespace tessaly
