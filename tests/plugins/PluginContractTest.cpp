// What every programmer plug-in owes the host, checked on each built plug-in loaded as the host loads it.
// A new plug-in is one more row of kPlugins.

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "LoadedPlugin.h"
#include "ScopedEnvironment.h"
#include "SimulatorSandbox.h"
#include "device/ProgrammerPlugin.h"

namespace tessaly {
namespace {

using test::LoadedPlugin;
using test::TempDirectory;
using Names = std::vector<std::string>;

constexpr std::size_t kLongestPortName = 15;  // the Port setting holds 16 bytes with the terminator
constexpr char kUntouched = '#';

struct PluginRow {
    const char* name;
    const char* module;
    std::int32_t refused;  // the status of a refused call (unknown session, null pointer), 1 to 4
    std::shared_ptr<void> (*surroundings)();  // what the plug-in needs around it during one test
    // For a programmer that may be absent: a port that attaches without it, since nothing is listed then.
    const char* unlistedPort = nullptr;
};

// One adapter, i2c-1, in a fake /dev and /sys.
struct FakeI2cDev {
    FakeI2cDev() {
        root.Write("dev/i2c-1", "");
        environment.Set("TESSALY_I2C_DEV_ROOT", (root.Path() / "dev").string());
        environment.Set("TESSALY_I2C_SYS_ROOT", (root.Path() / "sys").string());
    }
    TempDirectory root;
    test::ScopedEnvironment environment;
};

const PluginRow kPlugins[] = {
    {"sim", TESSALY_SIM_PLUGIN, 2,
     [] { return std::shared_ptr<void>(std::make_shared<test::SimulatorSandbox>()); }},
    {"i2cdev", TESSALY_I2CDEV_PLUGIN, 2,
     [] { return std::shared_ptr<void>(std::make_shared<FakeI2cDev>()); }},
    {"nvmem", TESSALY_NVMEM_PLUGIN, 2,
     [] {
         auto sysfs = std::make_shared<test::FakeSysfs>();
         sysfs->AddNvmem("0-00500", std::string(256, '\xFF'));
         return std::shared_ptr<void>(sysfs);
     }},
    {"ch341a", TESSALY_CH341A_PLUGIN, 2, [] { return std::shared_ptr<void>(); }, "1-1 I2C 100k"},
};

class PluginContractTest : public ::testing::TestWithParam<PluginRow> {
  protected:
    void SetUp() override { ASSERT_TRUE(plugin_.IsLoaded()) << GetParam().module << ": " << ::dlerror(); }

    void ExpectRefused(std::int32_t status) { EXPECT_EQ(status, GetParam().refused); }

    // The names listed into size bytes, read as the host reads them: each ends in a zero byte, and nothing
    // is written from the count on.
    Names Ports(std::uint32_t size) {
        std::vector<char> buffer(size + 16, kUntouched);
        const std::int32_t used = std::max(plugin_.PGM_EnumeratePorts(buffer.data(), size), 0);
        EXPECT_LE(used, static_cast<std::int32_t>(size));
        EXPECT_TRUE(std::all_of(buffer.begin() + used, buffer.end(), [](char c) { return c == kUntouched; }));
        EXPECT_TRUE(used == 0 || buffer[used - 1] == '\0');
        Names names;
        for (std::int32_t at = 0; at < used; at += static_cast<std::int32_t>(names.back().size()) + 1) {
            names.emplace_back(buffer.data() + at);
            EXPECT_FALSE(names.back().empty()) << "an empty name at " << at;
        }
        return names;
    }

    std::uint32_t AttachFirstPort(const LoadedPlugin& plugin) {
        const Names listed = Ports(4096);
        const std::string port = listed.empty() ? std::string(GetParam().unlistedPort) : listed.at(0);
        const std::uint32_t session = plugin.PGM_Attach(port.c_str());
        EXPECT_NE(session, 0u);
        return session;
    }

    std::shared_ptr<void> surroundings_ = GetParam().surroundings();
    LoadedPlugin plugin_{GetParam().module};
};

TEST_P(PluginContractTest, DescriptionAndVersionAreOneTerminatedLineEach) {
    for (const auto entry : {plugin_.PGM_GetDescription, plugin_.PGM_GetVersion}) {
        const char* text = nullptr;
        EXPECT_EQ(entry(&text), 0);
        ASSERT_NE(text, nullptr);
        const std::string_view line(text, ::strnlen(text, kPluginTextLimit));
        EXPECT_FALSE(line.empty());
        EXPECT_LT(line.size(), kPluginTextLimit) << "no terminator within the host's limit";
        EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << line;
        ExpectRefused(entry(nullptr));
    }
}

// As many whole names as fit, in order; each fits the Port setting, attaches, and does not begin an
// earlier one (the Options dialog selects the first name that begins with the stored one).
TEST_P(PluginContractTest, PortsAreListedWholeWithinTheGivenSizeAndEachAttaches) {
    const Names all = Ports(4096);
    ASSERT_TRUE(!all.empty() || GetParam().unlistedPort != nullptr) << "no ports";
    Names fitting;
    for (std::uint32_t size = 0, used = 0; fitting.size() < all.size(); ++size) {
        if (used + all[fitting.size()].size() < size) {
            used += static_cast<std::uint32_t>(all[fitting.size()].size()) + 1;
            fitting.push_back(all[fitting.size()]);
        }
        EXPECT_EQ(Ports(size), fitting) << size;
    }
    EXPECT_EQ(plugin_.PGM_EnumeratePorts(nullptr, 4096), 0);

    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_LE(all[i].size(), kLongestPortName) << all[i];
        for (std::size_t earlier = 0; earlier < i; ++earlier) {
            EXPECT_NE(::strncasecmp(all[earlier].c_str(), all[i].c_str(), all[i].size()), 0) << all[i];
        }
        const std::uint32_t session = plugin_.PGM_Attach(all[i].c_str());
        EXPECT_NE(session, 0u) << all[i];
        EXPECT_EQ(plugin_.PGM_Detach(session), 0);
    }
}

TEST_P(PluginContractTest, ASessionAnswersFromAttachToDetachAndItsFirmwareTextFitsItsBuffer) {
    const std::uint32_t session = AttachFirstPort(plugin_);
    EXPECT_EQ(plugin_.PGM_Reset(session), 0);
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 1), 0);
    plugin_.Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED);
    plugin_.Facility(session, PGM_SESSION_HARDWARE_PLUGGED);
    EXPECT_LE(plugin_.Facility(session, PGM_SESSION_BLOCK_SIZE), 256u);

    char text[64];
    for (const std::uint32_t size : {32u, 5u, 1u}) {
        std::memset(text, kUntouched, sizeof text);
        std::uint32_t length = size;
        ASSERT_EQ(plugin_.PGM_GetFirmware(session, text, &length), 0) << size;
        EXPECT_LT(length, size);
        EXPECT_TRUE(length > 0 || size == 1) << "no firmware text";
        EXPECT_EQ(std::strlen(text), length);
        EXPECT_EQ(text[size], kUntouched);
    }
    EXPECT_EQ(plugin_.PGM_Detach(session), 0);
}

TEST_P(PluginContractTest, NullUnknownAndDetachedSessionsAreRefused) {
    const std::uint32_t detached = AttachFirstPort(plugin_);
    ASSERT_EQ(plugin_.PGM_Detach(detached), 0);
    for (const std::uint32_t session : {0u, 0x7FFF1234u, detached}) {
        SCOPED_TRACE(session);
        std::uint32_t value = 0;
        ExpectRefused(plugin_.PGM_GetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, &value));
        ExpectRefused(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 1));
        ExpectRefused(plugin_.PGM_Reset(session));
        ExpectRefused(plugin_.PGM_Detach(session));
        std::uint8_t bytes[16] = {};
        std::uint32_t length = sizeof bytes;
        ExpectRefused(plugin_.PGM_GetFirmware(session, reinterpret_cast<char*>(bytes), &length));
        EXPECT_EQ(length, 0u);
        length = sizeof bytes;
        ExpectRefused(plugin_.PGM_Read(session, 0, bytes, &length));
        EXPECT_EQ(length, 0u);
        length = sizeof bytes;
        ExpectRefused(plugin_.PGM_Write(session, 0, bytes, &length));
        EXPECT_EQ(length, 0u);
    }
}

TEST_P(PluginContractTest, HostileArgumentsAreRefusedWithoutACrash) {
    for (const std::string& port : {std::string(), std::string("no such port"), std::string(100000, '2')}) {
        EXPECT_EQ(plugin_.PGM_Attach(port.c_str()), 0u) << port.size();
    }
    EXPECT_EQ(plugin_.PGM_Attach(nullptr), 0u);
    std::uint32_t value = 0;
    for (const std::uint32_t code :
         {1000, +PGM_GLOBAL_DRIVER_INSTALLED, +PGM_GLOBAL_IO_DELAY_MIN, +PGM_GLOBAL_IO_DELAY_MAX}) {
        ExpectRefused(plugin_.PGM_GetGlobalFacility(code, nullptr));
    }
    ExpectRefused(plugin_.PGM_GetGlobalFacility(1000, &value));

    const std::uint32_t session = AttachFirstPort(plugin_);
    ExpectRefused(plugin_.PGM_GetSessionFacility(session, 99, &value));
    ExpectRefused(plugin_.PGM_GetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, nullptr));
    ExpectRefused(plugin_.PGM_SetSessionFacility(session, 99, 0));
    char text[8] = {kUntouched};
    std::uint32_t length = 0;
    ExpectRefused(plugin_.PGM_GetFirmware(session, text, &length));
    EXPECT_EQ(text[0], kUntouched);
    ExpectRefused(plugin_.PGM_GetFirmware(session, nullptr, &length));
    ExpectRefused(plugin_.PGM_GetFirmware(session, text, nullptr));

    // Room for more than these plug-ins move: nothing past the count handed back may change.
    std::vector<std::uint8_t> bytes(0x10010, kUntouched);
    for (const bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        const auto transfer = [&](std::uint32_t address, std::uint8_t* buffer, std::uint32_t* moved) {
            return write ? plugin_.PGM_Write(session, address, buffer, moved)
                         : plugin_.PGM_Read(session, address, buffer, moved);
        };
        ExpectRefused(transfer(0, bytes.data(), nullptr));
        length = 8;
        ExpectRefused(transfer(0, nullptr, &length));
        EXPECT_EQ(length, 0u);
        length = 8;
        EXPECT_NE(transfer(0xFFFFFFFFu, bytes.data(), &length), 0);
        EXPECT_EQ(length, 0u);
        transfer(0, nullptr, &length);
        EXPECT_EQ(length, 0u) << "nothing asked, nothing moved";
        for (const std::uint32_t asked : {0u, 0xFFFFFFFFu}) {
            std::fill(bytes.begin(), bytes.end(), kUntouched);
            length = asked;
            transfer(0, bytes.data(), &length);
            EXPECT_LE(length, std::min(asked, 0x10000u)) << asked;
            EXPECT_TRUE(
                std::all_of(bytes.begin() + length, bytes.end(), [](auto b) { return b == kUntouched; }));
        }
    }
    EXPECT_EQ(plugin_.PGM_Detach(session), 0);
}

// The Options dialog loads a second copy to list ports while the device worker's copy has a session open.
TEST_P(PluginContractTest, TwoLoadedCopiesKeepTheirOwnSessions) {
    const TempDirectory directory;
    std::filesystem::copy_file(GetParam().module, directory.Path() / "copy.so");
    const LoadedPlugin second(directory.Path() / "copy.so");
    ASSERT_TRUE(second.IsLoaded());
    ASSERT_NE(second.PGM_Attach, plugin_.PGM_Attach) << "the copy must be a library of its own";

    const std::uint32_t mine = AttachFirstPort(plugin_);
    EXPECT_EQ(second.PGM_Detach(AttachFirstPort(second)), 0);
    EXPECT_NE(second.PGM_Reset(mine), 0) << "the copy knows only its own sessions";
    plugin_.Facility(mine, PGM_SESSION_BLOCK_SIZE);
    EXPECT_EQ(plugin_.PGM_Detach(mine), 0);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginContractTest, ::testing::ValuesIn(kPlugins),
                         [](const ::testing::TestParamInfo<PluginRow>& row) { return row.param.name; });

}  // namespace
}  // namespace tessaly
