#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../LoadedPlugin.h"
#include "FakeSystemTree.h"
#include "device/PluginInterface.h"

namespace tessaly {
namespace {

using test::FakeSystemTree;
using test::LoadedPlugin;
using test::ScopedSystemRoots;

class EntryPointsTest : public ::testing::Test {
  protected:
    EntryPointsTest() {
        tree.AddAdapter(1, "MCP2221 usb-i2c bridge");
        tree.AddAdapter(0, "SMBus I801 adapter at efa0");
    }

    std::vector<std::string> Ports(std::uint32_t size) {
        std::vector<char> buffer(size + 1, '#');
        const std::int32_t used = plugin.PGM_EnumeratePorts(buffer.data(), size);
        EXPECT_GE(used, 0);
        EXPECT_LE(static_cast<std::uint32_t>(used), size);
        EXPECT_EQ(buffer[size], '#');
        std::vector<std::string> names;
        for (std::int32_t position = 0; position < used;) {
            names.emplace_back(buffer.data() + position);
            position += static_cast<std::int32_t>(names.back().size()) + 1;
        }
        return names;
    }

    std::uint32_t Facility(std::uint32_t session, std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(plugin.PGM_GetSessionFacility(session, code, &value), 0);
        return value;
    }

    FakeSystemTree tree;
    ScopedSystemRoots roots{tree.Paths()};
    LoadedPlugin plugin{TESSALY_I2CDEV_MODULE};
};

TEST_F(EntryPointsTest, TheLibraryExportsTheTwelveEntryPointsAndNothingElseOfOurs) {
    ASSERT_TRUE(plugin.IsLoaded()) << ::dlerror();
    EXPECT_EQ(plugin.Get<void()>("_ZN7tessaly8PortName5ParseESt17basic_string_viewIcSt11char_traitsIcEE"),
              nullptr);
}

TEST_F(EntryPointsTest, DescriptionAndVersionAreTextsOfTheLibrary) {
    for (const auto entry : {plugin.PGM_GetDescription, plugin.PGM_GetVersion}) {
        const char* text = nullptr;
        ASSERT_EQ(entry(&text), 0);
        ASSERT_NE(text, nullptr);
        EXPECT_NE(std::string(text).find("i2c-dev"), std::string::npos);
        EXPECT_NE(entry(nullptr), 0);
    }
}

TEST_F(EntryPointsTest, PortsComeFromTheFakeTreeWithoutTheMemoryBus) {
    const std::vector<std::string> ports = Ports(256);
    ASSERT_EQ(ports.size(), 13u);
    EXPECT_EQ(ports.front(), "i2c-1:50");
    EXPECT_EQ(ports.back(), "i2c-1:57");
    EXPECT_EQ(Ports(20), (std::vector<std::string>{"i2c-1:50", "i2c-1:50/8"}));
    EXPECT_TRUE(Ports(8).empty());
    EXPECT_EQ(plugin.PGM_EnumeratePorts(nullptr, 256), 0);
}

TEST_F(EntryPointsTest, TheDriverIsInstalledWhileI2cDevIsThereAndNothingElseIsOffered) {
    std::uint32_t value = 0;
    ASSERT_EQ(plugin.PGM_GetGlobalFacility(PGM_GLOBAL_DRIVER_INSTALLED, &value), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_NE(plugin.PGM_GetGlobalFacility(PGM_GLOBAL_DRIVER_INSTALLED, nullptr), 0);
    for (const std::uint32_t code : {PGM_GLOBAL_CAN_MANAGE_DRIVER, PGM_GLOBAL_INSTALL_DRIVER,
                                     PGM_GLOBAL_UNINSTALL_DRIVER, PGM_GLOBAL_IO_DELAY_RANGE}) {
        EXPECT_NE(plugin.PGM_GetGlobalFacility(code, nullptr), 0) << code;
    }
    value = 0;
    EXPECT_NE(plugin.PGM_GetGlobalFacility(PGM_GLOBAL_IO_DELAY_MIN, &value), 0);
    EXPECT_NE(plugin.PGM_GetGlobalFacility(PGM_GLOBAL_IO_DELAY_MAX, &value), 0);
    EXPECT_NE(plugin.PGM_GetGlobalFacility(1000, &value), 0);
    EXPECT_EQ(value, 0u);

    std::filesystem::remove_all(tree.Root() / "dev");
    std::filesystem::remove_all(tree.Root() / "sys" / "class" / "i2c-dev");
    ASSERT_EQ(plugin.PGM_GetGlobalFacility(PGM_GLOBAL_DRIVER_INSTALLED, &value), 0);
    EXPECT_EQ(value, 0u);
}

TEST_F(EntryPointsTest, OnlyAWellFormedPortNameAttaches) {
    EXPECT_EQ(plugin.PGM_Attach(nullptr), 0u);
    EXPECT_EQ(plugin.PGM_Attach(""), 0u);
    EXPECT_EQ(plugin.PGM_Attach("None"), 0u);
    EXPECT_EQ(plugin.PGM_Attach("i2c-1:50/1"), 0u);
    // Sixteen bytes and no terminator: the name is refused without reading past them.
    const char unterminated[16] = {'i', '2', 'c', '-', '1', ':', '5', '0',
                                   '/', '1', '2', '8', '1', '2', '3', '4'};
    EXPECT_EQ(plugin.PGM_Attach(unterminated), 0u);
    const std::uint32_t session = plugin.PGM_Attach("i2c-9:53/32");
    ASSERT_NE(session, 0u);
    EXPECT_EQ(Facility(session, PGM_SESSION_BLOCK_SIZE), 32u);
    EXPECT_EQ(plugin.PGM_Detach(session), 0);
    EXPECT_NE(plugin.PGM_Detach(session), 0);
}

TEST_F(EntryPointsTest, AFakeDeviceFileIsPluggedButNotIdentifiedNorTransfersAndAMissingOneIsUnplugged) {
    const std::uint32_t fake = plugin.PGM_Attach("i2c-1:50");
    ASSERT_NE(fake, 0u);
    EXPECT_EQ(Facility(fake, PGM_SESSION_HARDWARE_IDENTIFIED), 0u);
    EXPECT_EQ(Facility(fake, PGM_SESSION_HARDWARE_PLUGGED), 1u);
    const std::uint32_t missing = plugin.PGM_Attach("i2c-7:50");
    ASSERT_NE(missing, 0u);
    EXPECT_EQ(Facility(missing, PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(Facility(missing, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    std::uint32_t value = 0;
    EXPECT_EQ(plugin.PGM_GetSessionFacility(missing, PGM_SESSION_CHIP_PRESENT, &value), 3);
    EXPECT_EQ(value, 0u);

    std::uint8_t buffer[8] = {};
    std::uint32_t length = 8;
    EXPECT_EQ(plugin.PGM_Read(fake, 0, buffer, &length), 3) << "a plain file answers no transfer";
    EXPECT_EQ(length, 0u);
    length = 8;
    EXPECT_EQ(plugin.PGM_Write(fake, 0, buffer, &length), 3);
    EXPECT_EQ(length, 0u);
    plugin.PGM_Detach(fake);
    plugin.PGM_Detach(missing);
}

TEST_F(EntryPointsTest, TheFirmwareTextIsTheAdapterName) {
    const std::uint32_t session = plugin.PGM_Attach("i2c-1:50");
    char buffer[65];
    std::uint32_t length = 64;
    ASSERT_EQ(plugin.PGM_GetFirmware(session, buffer, &length), 0);
    EXPECT_EQ(std::string(buffer), "MCP2221 usb-i2c bridge");
    EXPECT_EQ(length, 22u);
    length = 0;
    EXPECT_NE(plugin.PGM_GetFirmware(session, buffer, &length), 0);
    EXPECT_NE(plugin.PGM_GetFirmware(session, nullptr, &length), 0);
    EXPECT_NE(plugin.PGM_GetFirmware(session, buffer, nullptr), 0);
    plugin.PGM_Detach(session);
}

TEST_F(EntryPointsTest, HostileArgumentsAreRefusedWithoutACrash) {
    const std::uint32_t session = plugin.PGM_Attach("i2c-1:50");
    std::uint8_t buffer[8] = {};
    std::uint32_t length = 0xFFFFFFFF;
    EXPECT_NE(plugin.PGM_Read(session, 0, nullptr, &length), 0);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin.PGM_Read(session, 0, buffer, nullptr), 0);
    EXPECT_NE(plugin.PGM_Write(session, 0, nullptr, &length), 0);
    EXPECT_NE(plugin.PGM_Write(session, 0, buffer, nullptr), 0);
    length = 8;
    EXPECT_NE(plugin.PGM_Read(12345, 0, buffer, &length), 0);
    EXPECT_EQ(length, 0u);
    std::uint32_t value = 0;
    EXPECT_NE(plugin.PGM_GetSessionFacility(12345, PGM_SESSION_BLOCK_SIZE, &value), 0);
    EXPECT_NE(plugin.PGM_GetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, nullptr), 0);
    EXPECT_NE(plugin.PGM_SetSessionFacility(12345, PGM_SESSION_POWER, 1), 0);
    EXPECT_NE(plugin.PGM_Reset(12345), 0);
    EXPECT_NE(plugin.PGM_Detach(0), 0);
    EXPECT_EQ(plugin.PGM_Reset(session), 0);
    plugin.PGM_Detach(session);
}

TEST_F(EntryPointsTest, SessionsAreCapped) {
    std::vector<std::uint32_t> sessions;
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t session = plugin.PGM_Attach("i2c-1:50");
        if (session == 0) {
            break;
        }
        sessions.push_back(session);
    }
    EXPECT_LT(sessions.size(), 1000u);
    for (const std::uint32_t session : sessions) {
        EXPECT_EQ(plugin.PGM_Detach(session), 0);
    }
    EXPECT_NE(plugin.PGM_Attach("i2c-1:50"), 0u);
}

// The Options dialog loads a second copy to list ports while the worker's copy has a session open.
TEST_F(EntryPointsTest, TwoCopiesLoadedAtOnceKeepTheirSessionsApart) {
    const std::filesystem::path copyPath = tree.Root() / "copy-of-tessaly-i2cdev.so";
    std::filesystem::copy_file(TESSALY_I2CDEV_MODULE, copyPath);
    LoadedPlugin copy(copyPath.string());
    ASSERT_TRUE(copy.IsLoaded()) << ::dlerror();
    ASSERT_NE(copy.PGM_Attach, plugin.PGM_Attach);

    const std::uint32_t first = plugin.PGM_Attach("i2c-1:50/16");
    const std::uint32_t second = copy.PGM_Attach("i2c-1:51");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    std::vector<char> ports(256);
    EXPECT_GT(copy.PGM_EnumeratePorts(ports.data(), 256), 0);
    std::uint32_t value = 0;
    ASSERT_EQ(plugin.PGM_GetSessionFacility(first, PGM_SESSION_BLOCK_SIZE, &value), 0);
    EXPECT_EQ(value, 16u);
    ASSERT_EQ(copy.PGM_GetSessionFacility(second, PGM_SESSION_BLOCK_SIZE, &value), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(copy.PGM_Detach(second), 0);
    ASSERT_EQ(plugin.PGM_GetSessionFacility(first, PGM_SESSION_BLOCK_SIZE, &value), 0);
    EXPECT_EQ(plugin.PGM_Detach(first), 0);
}

}  // namespace
}  // namespace tessaly
