// The simulator as the host sees it: the built module opened with dlopen and driven through its exports.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "LoadedPlugin.h"
#include "SimSandbox.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using test::LoadedPlugin;
using test::ReadBytes;
using test::SimSandbox;
using test::WriteBytes;

constexpr std::int32_t kOk = 0;
constexpr std::uint32_t kUnknownSession = 0x7FFF1234;

class SimPluginTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(plugin_.IsLoaded()) << TESSALY_SIM_PLUGIN; }

    // Attaches as the host does (reset at once), then powers the chip and sets the addressing mode.
    std::uint32_t Open(const char* port, bool wide) {
        const std::uint32_t session = plugin_.Attach(port);
        EXPECT_NE(session, 0u) << port;
        EXPECT_EQ(plugin_.Reset(session), kOk);
        EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_POWER, 1), kOk);
        EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, wide ? 1 : 0), kOk);
        return session;
    }

    std::int32_t Read(std::uint32_t session, std::uint32_t address, Bytes& buffer, std::uint32_t& length) {
        length = static_cast<std::uint32_t>(buffer.size());
        return plugin_.Read(session, address, buffer.data(), &length);
    }

    std::int32_t Write(std::uint32_t session, std::uint32_t address, const Bytes& data,
                       std::uint32_t& length) {
        length = static_cast<std::uint32_t>(data.size());
        return plugin_.Write(session, address, data.data(), &length);
    }

    std::uint32_t Facility(std::uint32_t session, std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(plugin_.GetSessionFacility(session, code, &value), kOk) << code;
        return value;
    }

    std::uint32_t GlobalValue(std::uint32_t code) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(plugin_.GetGlobalFacility(code, &value), kOk) << code;
        return value;
    }

    SimSandbox sandbox_;
    LoadedPlugin plugin_{TESSALY_SIM_PLUGIN};
};

TEST_F(SimPluginTest, DescribesItselfOnOneLine) {
    const char* description = nullptr;
    plugin_.GetDescription(&description);
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(std::string(description).starts_with("Chip simulator"));
    EXPECT_EQ(std::strchr(description, '\n'), nullptr);
    const char* version = nullptr;
    EXPECT_EQ(plugin_.GetVersion(&version), kOk);
    ASSERT_NE(version, nullptr);
    EXPECT_NE(std::string(version), "");
    EXPECT_NE(plugin_.GetDescription(nullptr), kOk);
    EXPECT_NE(plugin_.GetVersion(nullptr), kOk);
}

TEST_F(SimPluginTest, ListsEveryChipAsAPort) {
    char buffer[512];
    const std::int32_t used = plugin_.EnumeratePorts(buffer, sizeof buffer);
    std::vector<std::string> ports;
    for (std::int32_t at = 0; at < used; at += static_cast<std::int32_t>(ports.back().size()) + 1) {
        ports.emplace_back(buffer + at);
    }
    for (const char* chip : {"24C01", "24C02", "24C04", "24C08", "24C16", "24C32", "24C64", "24C128",
                             "24C256", "24C512", "25LC256", "25LC512"}) {
        EXPECT_NE(std::ranges::find(ports, chip), ports.end()) << chip;
    }
    EXPECT_EQ(buffer[used - 1], '\0');
}

TEST_F(SimPluginTest, ListsOnlyWholeNamesThatFit) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin_.EnumeratePorts(buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(plugin_.EnumeratePorts(buffer, 5), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(plugin_.EnumeratePorts(buffer, 8), 6);
    EXPECT_STREQ(buffer, "24C01");
    EXPECT_EQ(buffer[6], 'x');
    EXPECT_EQ(plugin_.EnumeratePorts(nullptr, 100), 0);
}

TEST_F(SimPluginTest, IoDelayRangesFromOneToTen) {
    EXPECT_EQ(plugin_.GetGlobalFacility(PGM_GLOBAL_IO_DELAY_RANGE, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_IO_DELAY_MIN), 1u);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_IO_DELAY_MAX), 10u);
    const std::uint32_t session = Open("24C02", false);
    EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_IO_DELAY, 1), kOk);
    EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_IO_DELAY, 10), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(session, PGM_SESSION_IO_DELAY, 0), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(session, PGM_SESSION_IO_DELAY, 11), kOk);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, GlobalQueriesRefuseMissingValuesAndUnknownCodes) {
    for (std::uint32_t code :
         {PGM_GLOBAL_DRIVER_INSTALLED, PGM_GLOBAL_IO_DELAY_MIN, PGM_GLOBAL_IO_DELAY_MAX}) {
        EXPECT_NE(plugin_.GetGlobalFacility(code, nullptr), kOk) << code;
    }
    std::uint32_t value = 0;
    EXPECT_NE(plugin_.GetGlobalFacility(7, &value), kOk);
    EXPECT_NE(plugin_.GetGlobalFacility(0xFFFFFFFFu, nullptr), kOk);
}

TEST_F(SimPluginTest, DriverIsInstalledUntilUninstalled) {
    EXPECT_EQ(plugin_.GetGlobalFacility(PGM_GLOBAL_CAN_MANAGE_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    EXPECT_EQ(plugin_.GetGlobalFacility(PGM_GLOBAL_UNINSTALL_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    {
        LoadedPlugin again(TESSALY_SIM_PLUGIN);
        std::uint32_t installed = 1;
        EXPECT_EQ(again.GetGlobalFacility(PGM_GLOBAL_DRIVER_INSTALLED, &installed), kOk);
        EXPECT_EQ(installed, 0u) << "the flag outlives the library";
    }
    EXPECT_EQ(plugin_.GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), kOk);
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    EXPECT_EQ(plugin_.GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), kOk);
}

TEST_F(SimPluginTest, NoDriverFaultHidesAnInstalledDriver) {
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "nodriver");
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "");
    EXPECT_EQ(GlobalValue(PGM_GLOBAL_DRIVER_INSTALLED), 1u);
}

TEST_F(SimPluginTest, AttachRefusesUnknownPorts) {
    EXPECT_EQ(plugin_.Attach(nullptr), 0u);
    EXPECT_EQ(plugin_.Attach(""), 0u);
    EXPECT_EQ(plugin_.Attach("24C03"), 0u);
    EXPECT_EQ(plugin_.Attach("../24C02"), 0u);
    EXPECT_EQ(plugin_.Attach(std::string(100000, '2').c_str()), 0u);
    EXPECT_FALSE(std::filesystem::exists(sandbox_.SimDirectory()));
}

TEST_F(SimPluginTest, NewChipIsErasedAndKeptInAFileNamedAfterIt) {
    const std::uint32_t session = Open("24c32", true);
    EXPECT_EQ(ReadBytes(sandbox_.SimDirectory() / "24C32.bin"), std::string(4096, '\xFF'));
    Bytes buffer(32);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(buffer, Bytes(32, 0xFF));
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, AttachFailsWhenTheFileCannotBeMade) {
    WriteBytes(sandbox_.Root() / "file", "x");
    sandbox_.Environment().Set("TESSALY_SIM_DIR", (sandbox_.Root() / "file").string());
    EXPECT_EQ(plugin_.Attach("24C02"), 0u);
}

TEST_F(SimPluginTest, DefaultDirectoryIsInTheStateHome) {
    sandbox_.Environment().Unset("TESSALY_SIM_DIR");
    sandbox_.Environment().Set("XDG_STATE_HOME", sandbox_.Root().string());
    const std::uint32_t session = plugin_.Attach("24C01");
    EXPECT_NE(session, 0u);
    EXPECT_TRUE(std::filesystem::exists(sandbox_.Root() / "tessaly" / "sim" / "24C01.bin"));
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, SessionFacilitiesDescribeAWorkingChip) {
    const std::uint32_t session = plugin_.Attach("24C512");
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u) << "not powered yet";
    EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_POWER, 1), kOk);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Facility(session, PGM_SESSION_BLOCK_SIZE), 128u);
    EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_POWER, 0), kOk);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, SessionFacilitiesRefuseUnknownCodesAndValues) {
    const std::uint32_t session = plugin_.Attach("24C02");
    std::uint32_t value = 0;
    EXPECT_NE(plugin_.GetSessionFacility(session, PGM_SESSION_POWER, &value), kOk);
    EXPECT_NE(plugin_.GetSessionFacility(session, 99, &value), kOk);
    EXPECT_NE(plugin_.GetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, nullptr), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(session, PGM_SESSION_BLOCK_SIZE, 8), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(session, PGM_SESSION_POWER, 2), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, 0xFFFFFFFFu), kOk);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, BlockSizeIsThePageSize) {
    for (const auto& [port, page] : {std::pair{"24C01", 8u},
                                     {"24C16", 16u},
                                     {"24C64", 32u},
                                     {"24C256", 64u},
                                     {"25LC256", 64u},
                                     {"25LC512", 128u}}) {
        const std::uint32_t session = plugin_.Attach(port);
        EXPECT_EQ(Facility(session, PGM_SESSION_BLOCK_SIZE), page) << port;
        EXPECT_EQ(plugin_.Detach(session), kOk);
    }
}

TEST_F(SimPluginTest, WrongAddressingModeIsAnAccessError) {
    const std::uint32_t session = Open("24C256", false);
    Bytes buffer(64);
    std::uint32_t length = 0;
    EXPECT_NE(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(plugin_.SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, 1), kOk);
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(length, 64u);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, SpiChipWorksWhateverTheLastI2cMode) {
    for (const bool wide : {false, true}) {
        const std::uint32_t session = Open("25LC256", wide);
        Bytes buffer(64);
        std::uint32_t length = 0;
        EXPECT_EQ(Read(session, 0, buffer, length), kOk) << wide;
        EXPECT_EQ(plugin_.Detach(session), kOk);
    }
}

TEST_F(SimPluginTest, WrittenBytesOutliveTheSession) {
    const Bytes page{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::uint32_t length = 0;
    const std::uint32_t writer = Open("24C16", false);
    EXPECT_EQ(Write(writer, 0x7F0, page, length), kOk);
    EXPECT_EQ(length, 16u);
    EXPECT_EQ(plugin_.Detach(writer), kOk);

    const std::uint32_t reader = Open("24C16", false);
    Bytes buffer(16);
    EXPECT_EQ(Read(reader, 0x7F0, buffer, length), kOk);
    EXPECT_EQ(buffer, page);
    EXPECT_EQ(ReadBytes(sandbox_.SimDirectory() / "24C16.bin").substr(0x7F0, 2), "\x01\x02");
    EXPECT_EQ(plugin_.Detach(reader), kOk);
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
    EXPECT_EQ(plugin_.Detach(first), kOk);
    EXPECT_EQ(Read(second, 0x20, buffer, length), kOk) << "one session's end leaves the other working";
    EXPECT_EQ(plugin_.Detach(second), kOk);
}

TEST_F(SimPluginTest, TruncatedFileReadsErasedBeyondItsEnd) {
    WriteBytes(sandbox_.SimDirectory() / "24C01.bin", "ABCD");
    const std::uint32_t session = Open("24C01", false);
    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(buffer, (Bytes{'A', 'B', 'C', 'D', 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, WriteCycleMakesTheNextTransferFail) {
    sandbox_.Environment().Set("TESSALY_SIM_TWR_US", "100000");
    const std::uint32_t session = Open("24C02", false);
    std::uint32_t length = 0;
    const Clock::time_point written = Clock::now();
    EXPECT_EQ(Write(session, 0, Bytes{1}, length), kOk);
    EXPECT_EQ(Write(session, 8, Bytes{2}, length), 1) << "busy: no acknowledge";
    EXPECT_EQ(length, 0u);
    ASSERT_LT(Clock::now() - written, 100ms) << "too slow a machine to see the write cycle";
    std::this_thread::sleep_until(written + 120ms);
    EXPECT_EQ(Write(session, 8, Bytes{2}, length), kOk);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, MalformedWriteCycleKeepsTheDefault) {
    sandbox_.Environment().Set("TESSALY_SIM_TWR_US", "5 ms");
    const std::uint32_t session = Open("24C02", false);
    std::uint32_t length = 0;
    EXPECT_EQ(Write(session, 0, Bytes{1}, length), kOk);
    EXPECT_EQ(Write(session, 8, Bytes{2}, length), 1);
    EXPECT_EQ(plugin_.Detach(session), kOk);
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
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, FaultsSetThePollStates) {
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "noid,nochip");
    const std::uint32_t session = Open("24C02", false);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED), 0u);
    EXPECT_EQ(Facility(session, PGM_SESSION_CHIP_PRESENT), 0u);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 1u);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, UnplugFaultEndsEveryTransfer) {
    sandbox_.Environment().Set("TESSALY_SIM_FAULTS", "unplug=1");
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_EQ(Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_NE(Read(session, 0, buffer, length), kOk);
    EXPECT_NE(Write(session, 0, buffer, length), kOk);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, FirmwareTextFitsTheBuffer) {
    const std::uint32_t session = Open("24C02", false);
    char buffer[64];
    std::uint32_t length = sizeof buffer;
    EXPECT_EQ(plugin_.GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(length, std::strlen(buffer));
    EXPECT_NE(std::string(buffer).find("24C02"), std::string::npos);

    std::memset(buffer, 'x', sizeof buffer);
    length = 5;
    EXPECT_EQ(plugin_.GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(buffer[4], '\0');
    EXPECT_EQ(buffer[5], 'x');

    buffer[0] = 'x';
    length = 0;
    EXPECT_NE(plugin_.GetFirmware(session, buffer, &length), kOk);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_NE(plugin_.GetFirmware(session, nullptr, &length), kOk);
    EXPECT_NE(plugin_.GetFirmware(session, buffer, nullptr), kOk);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, UnknownSessionsAreRefusedEverywhere) {
    char text[16];
    std::uint32_t length = sizeof text;
    std::uint32_t value = 0;
    Bytes buffer(8);
    EXPECT_NE(plugin_.GetFirmware(kUnknownSession, text, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.GetSessionFacility(kUnknownSession, PGM_SESSION_BLOCK_SIZE, &value), kOk);
    EXPECT_NE(plugin_.SetSessionFacility(kUnknownSession, PGM_SESSION_POWER, 1), kOk);
    EXPECT_NE(plugin_.Reset(kUnknownSession), kOk);
    EXPECT_NE(plugin_.Detach(kUnknownSession), kOk);
    EXPECT_NE(plugin_.Detach(0), kOk);
    length = 8;
    EXPECT_NE(plugin_.Read(kUnknownSession, 0, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 0u);
    length = 8;
    EXPECT_NE(plugin_.Write(kUnknownSession, 0, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 0u);
}

TEST_F(SimPluginTest, DetachedSessionIsGone) {
    const std::uint32_t session = Open("24C02", false);
    EXPECT_EQ(plugin_.Detach(session), kOk);
    EXPECT_NE(plugin_.Detach(session), kOk);
    EXPECT_NE(plugin_.Reset(session), kOk);
}

TEST_F(SimPluginTest, HostileTransferArgumentsAreRefused) {
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(8);
    std::uint32_t length = 8;
    EXPECT_NE(plugin_.Read(session, 0, nullptr, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.Read(session, 0, buffer.data(), nullptr), kOk);
    length = 8;
    EXPECT_NE(plugin_.Write(session, 0, nullptr, &length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(plugin_.Write(session, 0, buffer.data(), nullptr), kOk);
    EXPECT_NE(Read(session, 256, buffer, length), kOk);
    EXPECT_NE(Write(session, 0xFFFFFFFFu, buffer, length), kOk);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, HugeLengthsAreCutToTheChipAndThePage) {
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(256);
    std::uint32_t length = 0xFFFFFFFFu;
    EXPECT_EQ(plugin_.Read(session, 0x80, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 256u);
    length = 0xFFFFFFFFu;
    EXPECT_EQ(plugin_.Write(session, 0x80, buffer.data(), &length), kOk);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, ResetFromAnotherThreadEndsASlowRead) {
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
    const std::uint32_t session = Open("24C512", true);
    Bytes buffer(128);
    std::uint32_t length = 0;
    const Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return Read(session, 0, buffer, length); });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(plugin_.Reset(session), kOk);
    EXPECT_EQ(reading.get(), 3);
    EXPECT_EQ(length, 0u);
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, DetachFromAnotherThreadEndsASlowWrite) {
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
    const std::uint32_t session = Open("24C512", true);
    const Bytes page(128, 0);
    std::uint32_t length = 0;
    auto writing = std::async(std::launch::async, [&] { return Write(session, 0, page, length); });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(plugin_.Detach(session), kOk);
    EXPECT_EQ(writing.get(), 3);
    EXPECT_EQ(ReadBytes(sandbox_.SimDirectory() / "24C512.bin").substr(0, 1), "\xFF");
}

TEST_F(SimPluginTest, BusClockSlowsTransfersDown) {
    // 1 + 9 * (1 + 1 + 8) = 91 bits at 20 kHz: 4550 us.
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "20");
    const std::uint32_t session = Open("24C02", false);
    Bytes buffer(8);
    std::uint32_t length = 0;
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Read(session, 0, buffer, length), kOk);
    EXPECT_GE(Clock::now() - start, 4550us);
    EXPECT_EQ(plugin_.Detach(session), kOk);
}

TEST_F(SimPluginTest, TwoCopiesOfTheLibraryKeepTheirOwnSessions) {
    const std::filesystem::path copy = sandbox_.Root() / "copy" / "tessaly-sim.so";
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(TESSALY_SIM_PLUGIN, copy);
    LoadedPlugin second(copy);
    ASSERT_TRUE(second.IsLoaded());
    ASSERT_NE(second.Attach, plugin_.Attach) << "the copy must be a library of its own";

    // Both copies may hand out the same number; each knows only its own sessions.
    const std::uint32_t mine = Open("24C02", false);
    const std::uint32_t theirs = second.Attach("24C02");
    ASSERT_NE(theirs, 0u);
    EXPECT_EQ(second.SetSessionFacility(theirs, PGM_SESSION_POWER, 1), kOk);
    EXPECT_EQ(second.Detach(theirs), kOk);
    EXPECT_NE(second.Reset(mine), kOk);

    Bytes buffer(8);
    std::uint32_t length = 0;
    EXPECT_EQ(Read(mine, 0, buffer, length), kOk);
    EXPECT_EQ(plugin_.Detach(mine), kOk);
}

}  // namespace
}  // namespace tessaly
