// The simulator as the host sees it: the built module opened with dlopen and driven through its exports.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "../LoadedPlugin.h"
#include "SimulatorSandbox.h"
#include "plugins/sim/ChipModel.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using test::LoadedPlugin;
using test::ReadBytes;
using test::SimulatorSandbox;
using test::WriteBytes;

constexpr std::int32_t kOk = 0;
constexpr std::uint32_t kUnknownSession = 0x7FFF1234;

class SimPluginTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(plugin_.IsLoaded()) << TESSALY_SIM_PLUGIN; }

    // Attaches as the host does (reset at once), then powers the chip and sets the addressing mode.
    std::uint32_t Open(const char* port, bool wide) {
        const std::uint32_t session = plugin_.PGM_Attach(port);
        EXPECT_NE(session, 0u) << port;
        EXPECT_EQ(plugin_.PGM_Reset(session), kOk);
        EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 1), kOk);
        EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, wide ? 1 : 0), kOk);
        return session;
    }

    std::int32_t Read(std::uint32_t session, std::uint32_t address, Bytes& buffer, std::uint32_t& length) {
        length = static_cast<std::uint32_t>(buffer.size());
        return plugin_.PGM_Read(session, address, buffer.data(), &length);
    }

    std::int32_t Write(std::uint32_t session, std::uint32_t address, const Bytes& data,
                       std::uint32_t& length) {
        length = static_cast<std::uint32_t>(data.size());
        return plugin_.PGM_Write(session, address, data.data(), &length);
    }

    std::uint32_t Facility(std::uint32_t session, std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(plugin_.PGM_GetSessionFacility(session, code, &value), kOk) << code;
        return value;
    }

    std::uint32_t GlobalValue(std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(plugin_.PGM_GetGlobalFacility(code, &value), kOk) << code;
        return value;
    }

    SimulatorSandbox sandbox_;
    LoadedPlugin plugin_{TESSALY_SIM_PLUGIN};
};

TEST_F(SimPluginTest, DescribesItselfOnOneLine) {
    const char* description = nullptr;
    plugin_.PGM_GetDescription(&description);
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(std::string(description).starts_with("Chip simulator"));
    EXPECT_EQ(std::strchr(description, '\n'), nullptr);
    const char* version = nullptr;
    EXPECT_EQ(plugin_.PGM_GetVersion(&version), kOk);
    ASSERT_NE(version, nullptr);
    EXPECT_NE(std::string(version), "");
    EXPECT_NE(plugin_.PGM_GetDescription(nullptr), kOk);
    EXPECT_NE(plugin_.PGM_GetVersion(nullptr), kOk);
}

TEST_F(SimPluginTest, ListsEveryChipAsAPort) {
    char buffer[512];
    const std::int32_t used = plugin_.PGM_EnumeratePorts(buffer, sizeof buffer);
    std::vector<std::string> ports;
    for (std::int32_t at = 0; at < used; at += static_cast<std::int32_t>(ports.back().size()) + 1) {
        ports.emplace_back(buffer + at);
    }
    ASSERT_EQ(ports.size(), ChipModels().size());
    for (const ChipModel& chip : ChipModels()) {
        EXPECT_NE(std::ranges::find(ports, chip.name), ports.end()) << chip.name;
    }
}

TEST_F(SimPluginTest, ListsOnlyWholeNamesThatFit) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin_.PGM_EnumeratePorts(buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(plugin_.PGM_EnumeratePorts(buffer, 5), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(plugin_.PGM_EnumeratePorts(buffer, 8), 6);
    EXPECT_STREQ(buffer, "24C01");
    EXPECT_EQ(buffer[6], 'x');
    EXPECT_EQ(plugin_.PGM_EnumeratePorts(nullptr, 100), 0);
}

TEST_F(SimPluginTest, IoDelayRangesFromOneToTenAndGlobalQueriesRefuseBadArguments) {
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_IO_DELAY_RANGE, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_IO_DELAY_MIN), 1u);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_IO_DELAY_MAX), 10u);
    const std::uint32_t session = Open("24C02", false);
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_IO_DELAY, 1), kOk);
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_IO_DELAY, 10), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_IO_DELAY, 0), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_IO_DELAY, 11), kOk);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);

    for (std::uint32_t code :
         {PGM_GLOBAL_DRIVER_INSTALLED, PGM_GLOBAL_IO_DELAY_MIN, PGM_GLOBAL_IO_DELAY_MAX}) {
        EXPECT_NE(plugin_.PGM_GetGlobalFacility(code, nullptr), kOk) << code;
    }
    std::uint32_t value = 0;
    EXPECT_NE(plugin_.PGM_GetGlobalFacility(7, &value), kOk);
    EXPECT_NE(plugin_.PGM_GetGlobalFacility(0xFFFFFFFFu, nullptr), kOk);
}

TEST_F(SimPluginTest, DriverIsInstalledUntilUninstalled) {
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_CAN_MANAGE_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_UNINSTALL_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    {
        LoadedPlugin again(TESSALY_SIM_PLUGIN);
        std::uint32_t installed = 1;
        EXPECT_EQ(again.PGM_GetGlobalFacility(PGM_GLOBAL_DRIVER_INSTALLED, &installed), kOk);
        EXPECT_EQ(installed, 0u) << "the flag outlives the library";
    }
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), kOk);
}

TEST_F(SimPluginTest, AttachRefusesUnknownPorts) {
    EXPECT_EQ(plugin_.PGM_Attach(nullptr), 0u);
    EXPECT_EQ(plugin_.PGM_Attach(""), 0u);
    EXPECT_EQ(plugin_.PGM_Attach("24C03"), 0u);
    EXPECT_EQ(plugin_.PGM_Attach("../24C02"), 0u);
    EXPECT_EQ(plugin_.PGM_Attach(std::string(100000, '2').c_str()), 0u);
    EXPECT_FALSE(std::filesystem::exists(sandbox_.ChipDirectory()));
}

TEST_F(SimPluginTest, NewChipIsErasedKeptInAFileNamedAfterItAndReadInItsOwnAddressingMode) {
    const std::uint32_t session = Open("24c32", true);
    EXPECT_EQ(ReadBytes(sandbox_.ChipDirectory() / "24C32.bin"), std::string(4096, '\xFF'));
    Bytes buffer(32);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(buffer, Bytes(32, 0xFF));
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, 0), kOk);
    EXPECT_NE(Read(session, 0, buffer, length), kOk) << "the wrong addressing mode is an access error";
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, AttachFailsWhenTheFileCannotBeMade) {
    WriteBytes(sandbox_.Root() / "file", "x");
    sandbox_.Environment().Set("TESSALY_SIM_DIR", (sandbox_.Root() / "file").string());
    EXPECT_EQ(plugin_.PGM_Attach("24C02"), 0u);
}

TEST_F(SimPluginTest, SessionFacilitiesDescribeAWorkingChipAndRefuseUnknownCodesAndValues) {
    const std::uint32_t session = plugin_.PGM_Attach("24C512");
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u) << "not powered yet";
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 1), kOk);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_BLOCK_SIZE), 128u);
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 0), kOk);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u);

    std::uint32_t value = 0;
    EXPECT_NE(plugin_.PGM_GetSessionFacility(session, PGM_SESSION_POWER, &value), kOk);
    EXPECT_NE(plugin_.PGM_GetSessionFacility(session, 99, &value), kOk);
    EXPECT_NE(plugin_.PGM_GetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, nullptr), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, 8), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 2), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, 0xFFFFFFFFu), kOk);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, WrittenBytesOutliveTheSession) {
    const Bytes page{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::uint32_t length = 0;
    const std::uint32_t writer = Open("24C16", false);
    EXPECT_EQ(Write(writer, 0x7F0, page, length), kOk);
    EXPECT_EQ(length, 16u);
    EXPECT_EQ(plugin_.PGM_Detach(writer), kOk);

    const std::uint32_t reader = Open("24C16", false);
    Bytes buffer(16);
    EXPECT_EQ(Read(reader, 0x7F0, buffer, length), kOk);
    EXPECT_EQ(buffer, page);
    EXPECT_EQ(ReadBytes(sandbox_.ChipDirectory() / "24C16.bin").substr(0x7F0, 2), "\x01\x02");
    EXPECT_EQ(plugin_.PGM_Detach(reader), kOk);
}

TEST_F(SimPluginTest, TwoSessionsOnOneChipShareItsMemory) {
    const std::uint32_t first = Open("24C02", false);
    const std::uint32_t second = Open("24C02", false);
    ASSERT_NE(first, second);
    std::uint32_t length = 0;
    EXPECT_EQ(Write(first, 0x20, Bytes{0x5A}, length), kOk);
    Bytes buffer(1);
    EXPECT_EQ(Read(second, 0x20, buffer, length), kOk);
    EXPECT_EQ(buffer[0], 0x5A);
    EXPECT_EQ(plugin_.PGM_Detach(first), kOk);
    EXPECT_EQ(Read(second, 0x20, buffer, length), kOk) << "one session's end leaves the other working";
    EXPECT_EQ(plugin_.PGM_Detach(second), kOk);
}

TEST_F(SimPluginTest, FaultsFailTheChosenCalls) {
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "bogus,read=1,write=2,short=2:5");
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(session, 0, buffer, length), 1);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(Write(session, 0, Bytes{1}, length), kOk);
    EXPECT_EQ(Write(session, 0, Bytes{1}, length), 1);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, FaultsSetThePollStates) {
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "noid,nochip,nodriver,unplug=0");
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    const std::uint32_t session = Open("24C02", false);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED), 0u);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_NE(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, FirmwareTextFitsTheBuffer) {
    const std::uint32_t session = Open("24C02", false);
    char buffer[64];
    std::uint32_t length = sizeof buffer;
    EXPECT_EQ(plugin_.PGM_GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(length, std::strlen(buffer));
    EXPECT_NE(std::string(buffer).find("24C02"), std::string::npos);

    std::memset(buffer, 'x', sizeof buffer);
    length = 5;
    EXPECT_EQ(plugin_.PGM_GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(buffer[4], '\0');
    EXPECT_EQ(buffer[5], 'x');

    buffer[0] = 'x';
    length = 0;
    EXPECT_NE(plugin_.PGM_GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_NE(plugin_.PGM_GetFirmware(session, nullptr, &length), kOk);
    EXPECT_NE(plugin_.PGM_GetFirmware(session, buffer, nullptr), kOk);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, UnknownAndDetachedSessionsAreRefusedEverywhere) {
    char text[16];
    std::uint32_t length = sizeof text;
    std::uint32_t value = 0;
    Bytes buffer(8);
    EXPECT_NE(plugin_.PGM_GetFirmware(kUnknownSession, text, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.PGM_GetSessionFacility(kUnknownSession, PGM_SESSION_BLOCK_SIZE, &value), kOk);
    EXPECT_NE(plugin_.PGM_SetSessionFacility(kUnknownSession, PGM_SESSION_POWER, 1), kOk);
    EXPECT_NE(plugin_.PGM_Reset(kUnknownSession), kOk);
    EXPECT_NE(plugin_.PGM_Detach(kUnknownSession), kOk);
    EXPECT_NE(plugin_.PGM_Detach(0), kOk);
    length = 8;
    EXPECT_NE(plugin_.PGM_Read(kUnknownSession, 0, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 0u);
    length = 8;
    EXPECT_NE(plugin_.PGM_Write(kUnknownSession, 0, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 0u);

    const std::uint32_t detached = Open("24C02", false);
    EXPECT_EQ(plugin_.PGM_Detach(detached), kOk);
    EXPECT_NE(plugin_.PGM_Detach(detached), kOk);
    EXPECT_NE(plugin_.PGM_Reset(detached), kOk);
}

TEST_F(SimPluginTest, HostileTransferArgumentsAreRefusedAndHugeLengthsCut) {
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(256);
    std::uint32_t length = 8;
    EXPECT_NE(plugin_.PGM_Read(session, 0, nullptr, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.PGM_Read(session, 0, buffer.data(), nullptr), kOk);
    length = 8;
    EXPECT_NE(plugin_.PGM_Write(session, 0, nullptr, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.PGM_Write(session, 0, buffer.data(), nullptr), kOk);
    EXPECT_NE(Read(session, 256, buffer, length), kOk);
    EXPECT_NE(Write(session, 0xFFFFFFFFu, buffer, length), kOk);
    EXPECT_EQ(length, 0u);

    length = 0xFFFFFFFFu;
    EXPECT_EQ(plugin_.PGM_Read(session, 0x80, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 256u) << "cut to the chip";
    length = 0xFFFFFFFFu;
    EXPECT_EQ(plugin_.PGM_Write(session, 0x80, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 8u) << "cut to the page";
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, ResetFromAnotherThreadEndsASlowRead) {
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
    const std::uint32_t session = Open("24C512", true);
    Bytes buffer(128);
    std::uint32_t length = 0;
    const Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return Read(session, 0, buffer, length); });
    // Reset until the read has ended: on a loaded machine the read may start only after the first reset.
    while (reading.wait_for(5ms) != std::future_status::ready) {
        EXPECT_EQ(plugin_.PGM_Reset(session), kOk);
    }
    EXPECT_EQ(reading.get(), 3);
    EXPECT_EQ(length, 0u);
    // The whole read takes 1 + 9 * (1 + 2 + 128) = 1180 bits at 1 kHz.
    EXPECT_LT(Clock::now() - start, 1180ms);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
}

TEST_F(SimPluginTest, DetachFromAnotherThreadEndsASlowWrite) {
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
    const std::uint32_t session = Open("24C512", true);
    const Bytes page(128, 0);
    std::uint32_t length = 0;
    auto writing = std::async(std::launch::async, [&] { return Write(session, 0, page, length); });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(plugin_.PGM_Detach(session), kOk);
    // Ended while running, or refused when the detach came first: either way nothing is written.
    EXPECT_NE(writing.get(), kOk);
    EXPECT_EQ(ReadBytes(sandbox_.ChipDirectory() / "24C512.bin").substr(0, 1), "\xFF");
}

TEST_F(SimPluginTest, TwoCopiesOfTheLibraryKeepTheirOwnSessions) {
    const std::filesystem::path copy = sandbox_.Root() / "copy" / "tessaly-sim.so";
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(TESSALY_SIM_PLUGIN, copy);
    LoadedPlugin second(copy);
    ASSERT_TRUE(second.IsLoaded());
    ASSERT_NE(second.PGM_Attach, plugin_.PGM_Attach) << "the copy must be a library of its own";

    // Both copies may hand out the same number; each knows only its own sessions.
    const std::uint32_t mine = Open("24C02", false);
    const std::uint32_t theirs = second.PGM_Attach("24C02");
    ASSERT_NE(theirs, 0u);
    EXPECT_EQ(second.PGM_SetSessionFacility(theirs, PGM_SESSION_POWER, 1), kOk);
    EXPECT_EQ(second.PGM_Detach(theirs), kOk);
    EXPECT_NE(second.PGM_Reset(mine), kOk);

    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(mine, 0, buffer, length), kOk);
    EXPECT_EQ(plugin_.PGM_Detach(mine), kOk);
}

}  // namespace
}  // namespace tessaly
