// The simulator's exports wired to its chips, settings and pretend driver. What every plug-in owes the host
// is PluginContractTest's, the chips' own rules are SimChipTest's.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <vector>

#include "../LoadedPlugin.h"
#include "SimulatorSandbox.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class SimPluginTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(plugin_.IsLoaded()) << TESSALY_SIM_PLUGIN; }

    // Attaches as the host does (reset at once), then powers the chip and sets the addressing mode.
    std::uint32_t Open(const char* port, std::uint32_t wide) {
        const std::uint32_t session = plugin_.PGM_Attach(port);
        EXPECT_EQ(plugin_.PGM_Reset(session), 0) << port;
        EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_POWER, 1), 0);
        EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, PGM_SESSION_WIDE_ADDRESSING, wide), 0);
        return session;
    }

    std::int32_t Read(std::uint32_t session, std::uint32_t address, Bytes& buffer) {
        std::uint32_t length = static_cast<std::uint32_t>(buffer.size());
        return plugin_.PGM_Read(session, address, buffer.data(), &length);
    }

    test::SimulatorSandbox sandbox_;
    test::LoadedPlugin plugin_{TESSALY_SIM_PLUGIN};
};

TEST_F(SimPluginTest, ProgramsAChipThatKeepsItsBytesInItsFile) {
    const std::uint32_t writer = Open("24c32", 1);
    EXPECT_EQ(plugin_.Facility(writer, PGM_SESSION_BLOCK_SIZE), 32u);
    const Bytes page(32, 0x5A);
    std::uint32_t length = 32;
    EXPECT_EQ(plugin_.PGM_Write(writer, 0xFE0, page.data(), &length), 0);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(plugin_.PGM_Detach(writer), 0);

    const std::uint32_t reader = Open("24C32", 1);
    Bytes back(32);
    EXPECT_EQ(Read(reader, 0xFE0, back), 0);
    EXPECT_EQ(back, page);
    const Bytes file = sandbox_.ReadChip("24C32");
    ASSERT_EQ(file.size(), 4096u);
    EXPECT_EQ(Bytes(file.begin() + 0xFE0, file.end()), page);
    EXPECT_EQ(plugin_.PGM_SetSessionFacility(reader, PGM_SESSION_WIDE_ADDRESSING, 0), 0);
    EXPECT_EQ(Read(reader, 0, back), 4) << "the wrong addressing mode for the chip";
    EXPECT_EQ(plugin_.PGM_Detach(reader), 0);
}

TEST_F(SimPluginTest, FacilitiesReportTheChipAndItsFaultsAndCheckTheirValues) {
    const std::uint32_t session = plugin_.PGM_Attach("24C512");
    EXPECT_EQ(plugin_.Facility(session, PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(plugin_.Facility(session, PGM_SESSION_HARDWARE_PLUGGED), 1u);
    EXPECT_EQ(plugin_.Facility(session, PGM_SESSION_CHIP_PRESENT), 0u) << "not powered yet";
    for (const auto& [code, value, accepted] : {std::tuple{PGM_SESSION_POWER, 1u, true},
                                                {PGM_SESSION_WIDE_ADDRESSING, 0xFFFFFFFFu, false},
                                                {PGM_SESSION_IO_DELAY, 1u, true},
                                                {PGM_SESSION_IO_DELAY, 10u, true},
                                                {PGM_SESSION_IO_DELAY, 0u, false},
                                                {PGM_SESSION_IO_DELAY, 11u, false}}) {
        EXPECT_EQ(plugin_.PGM_SetSessionFacility(session, code, value) == 0, accepted)
            << code << " " << value;
    }
    EXPECT_EQ(plugin_.Facility(session, PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(plugin_.PGM_Detach(session), 0);
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_IO_DELAY_RANGE, nullptr), 0);
    EXPECT_EQ(plugin_.Facility(0, PGM_GLOBAL_IO_DELAY_MIN), 1u);
    EXPECT_EQ(plugin_.Facility(0, PGM_GLOBAL_IO_DELAY_MAX), 10u);

    sandbox_.SetFaults("read=1,noid,nodriver,unplug=2");
    EXPECT_EQ(plugin_.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    const std::uint32_t faulty = Open("24C02", 0);
    EXPECT_EQ(plugin_.Facility(faulty, PGM_SESSION_HARDWARE_IDENTIFIED), 0u);
    Bytes buffer(8);
    EXPECT_EQ(Read(faulty, 0, buffer), 1);
    EXPECT_EQ(Read(faulty, 0, buffer), 0);
    EXPECT_EQ(plugin_.Facility(faulty, PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_EQ(plugin_.PGM_Detach(faulty), 0);

    test::WriteBytes(sandbox_.Root() / "file", "x");
    sandbox_.Environment().Set("TESSALY_SIM_DIR", (sandbox_.Root() / "file").string());
    EXPECT_EQ(plugin_.PGM_Attach("24C02"), 0u) << "the chip's file cannot be made";
}

TEST_F(SimPluginTest, DriverIsInstalledUntilUninstalledAndTheFlagOutlivesTheLibrary) {
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_CAN_MANAGE_DRIVER, nullptr), 0);
    EXPECT_EQ(plugin_.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 1u);
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_UNINSTALL_DRIVER, nullptr), 0);
    {
        const test::LoadedPlugin again(TESSALY_SIM_PLUGIN);
        EXPECT_EQ(again.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 0u);
    }
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), 0);
    EXPECT_EQ(plugin_.PGM_GetGlobalFacility(PGM_GLOBAL_INSTALL_DRIVER, nullptr), 0);
    EXPECT_EQ(plugin_.Facility(0, PGM_GLOBAL_DRIVER_INSTALLED), 1u);
}

TEST_F(SimPluginTest, ResetFromAnotherThreadEndsASlowRead) {
    sandbox_.Environment().Set("TESSALY_SIM_BUS_KHZ", "1");
    const std::uint32_t session = Open("24C512", 1);
    Bytes page(128);
    // 1 + 9 * (1 + 2 + 128) bits at 1 kHz take 1.2 s; reset until the read has ended, as on a loaded
    // machine it may start only after the first reset.
    const auto start = std::chrono::steady_clock::now();
    auto reading = std::async(std::launch::async, [&] { return Read(session, 0, page); });
    while (reading.wait_for(5ms) != std::future_status::ready) {
        EXPECT_EQ(plugin_.PGM_Reset(session), 0);
    }
    EXPECT_EQ(reading.get(), 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1180ms);
    EXPECT_EQ(plugin_.PGM_Detach(session), 0);
}

}  // namespace
}  // namespace tessaly
