#include "plugins/sim/SimSettings.h"

#include <gtest/gtest.h>

#include <string>

#include "ScopedEnvironment.h"

namespace tessaly {
namespace {

using std::chrono::microseconds;
using test::ScopedEnvironment;

// Starts every test from an environment without the simulator's variables.
class SimSettingsTest : public ::testing::Test {
  protected:
    SimSettingsTest() {
        for (const char* name : {"TESSALY_SIM_DIR", "TESSALY_SIM_TWR_US", "TESSALY_SIM_BUS_KHZ",
                                 "TESSALY_SIM_FAULTS", "XDG_STATE_HOME"}) {
            environment_.Unset(name);
        }
        environment_.Set("HOME", "/home/someone");
    }

    ScopedEnvironment environment_;
};

TEST_F(SimSettingsTest, DefaultsWithoutVariables) {
    const SimSettings settings = SimSettings::FromEnvironment();
    EXPECT_EQ(settings.directory, "/home/someone/.local/state/tessaly/sim");
    EXPECT_EQ(settings.writeCycle, microseconds{5000});
    EXPECT_EQ(settings.busKhz, 0u);
    EXPECT_FALSE(settings.faults.FailsRead(1));
}

TEST_F(SimSettingsTest, StateHomeComesFromXdgWhenAbsolute) {
    environment_.Set("XDG_STATE_HOME", "/var/state");
    EXPECT_EQ(SimSettings::FromEnvironment().directory, "/var/state/tessaly/sim");
    environment_.Set("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(SimSettings::FromEnvironment().directory, "/home/someone/.local/state/tessaly/sim");
}

TEST_F(SimSettingsTest, NoDirectoryWithoutAnAbsoluteHome) {
    environment_.Unset("HOME");
    EXPECT_TRUE(SimSettings::FromEnvironment().directory.empty());
    environment_.Set("HOME", "");
    EXPECT_TRUE(SimSettings::FromEnvironment().directory.empty());
}

TEST_F(SimSettingsTest, SimDirOverridesTheStateDirectory) {
    environment_.Set("XDG_STATE_HOME", "/var/state");
    environment_.Set("TESSALY_SIM_DIR", "/tmp/chips");
    EXPECT_EQ(SimSettings::FromEnvironment().directory, "/tmp/chips");
    environment_.Set("TESSALY_SIM_DIR", "");
    EXPECT_EQ(SimSettings::FromEnvironment().directory, "/var/state/tessaly/sim");
}

TEST_F(SimSettingsTest, ReadsTheNumbersUpToATenSecondWriteCycle) {
    environment_.Set("TESSALY_SIM_TWR_US", "250");
    environment_.Set("TESSALY_SIM_BUS_KHZ", "400");
    environment_.Set("TESSALY_SIM_FAULTS", "read=2");
    const SimSettings settings = SimSettings::FromEnvironment();
    EXPECT_EQ(settings.writeCycle, microseconds{250});
    EXPECT_EQ(settings.busKhz, 400u);
    EXPECT_TRUE(settings.faults.FailsRead(2));
    environment_.Set("TESSALY_SIM_TWR_US", "0");
    EXPECT_EQ(SimSettings::FromEnvironment().writeCycle, microseconds{0});
    environment_.Set("TESSALY_SIM_TWR_US", "10000000");
    EXPECT_EQ(SimSettings::FromEnvironment().writeCycle, microseconds{10'000'000});
}

TEST_F(SimSettingsTest, MalformedOrOutOfRangeNumbersKeepTheirDefaults) {
    const auto expectDefaults = [this](const char* twr, const char* khz) {
        SCOPED_TRACE(std::string(twr) + " / " + khz);
        environment_.Set("TESSALY_SIM_TWR_US", twr);
        environment_.Set("TESSALY_SIM_BUS_KHZ", khz);
        const SimSettings settings = SimSettings::FromEnvironment();
        EXPECT_EQ(settings.writeCycle, microseconds{5000});
        EXPECT_EQ(settings.busKhz, 0u);
    };
    for (const char* bad : {"abc", "-5", "5ms", " 5", "0x10", "1e3", "99999999999999999999999"}) {
        expectDefaults(bad, bad);
    }
    expectDefaults("10000001", "4294967296");
}

}  // namespace
}  // namespace tessaly
