#include <gtest/gtest.h>

#include <string>

#include "FakeLibrary.h"
#include "device/PluginHost.h"
#include "device/ProgrammerPlugin.h"

namespace tessaly {
namespace {

using fake::CallKind;
using test::FakeLibrary;
using test::kFakeProgrammer;
using test::kHostilePlugin;
using test::kTestPluginDir;

class ProgrammerPluginTest : public ::testing::Test {
  protected:
    void LoadAndAttach() {
        ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
        ASSERT_EQ(plugin.Attach("fake0"), kPluginOk);
        fake.ClearRecord();
    }

    FakeLibrary fake;
    ProgrammerPlugin plugin;
};

// Loading

TEST_F(ProgrammerPluginTest, LoadsOnlyAnExistingLibraryWithEveryExport) {
    const std::string withoutSlash = kTestPluginDir.substr(0, kTestPluginDir.size() - 1);
    const struct {
        std::string name;
        std::string directory;
        bool loads;
    } cases[] = {
        {kFakeProgrammer, kTestPluginDir, true},
        {kFakeProgrammer, withoutSlash, true},  // joined with a slash
        {"fake-nodescription.so", kTestPluginDir, true},
        {"no-such-plugin.so", kTestPluginDir, false},
        {"", kTestPluginDir, false},
        {kFakeProgrammer, "", false},
        {"fake-eleven.so", kTestPluginDir, false},  // eleven of the twelve exports
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " in " + c.directory);
        ProgrammerPlugin loaded;
        EXPECT_EQ(loaded.Load(c.name, c.directory), c.loads);
        EXPECT_EQ(loaded.IsLoaded(), c.loads);
        EXPECT_FALSE(loaded.IsAttached());
    }
}

TEST_F(ProgrammerPluginTest, DefaultDirectoryIsTheExecutables) {
    // The test executable's directory holds no plug-ins: the fakes are kept out of it on purpose.
    EXPECT_FALSE(plugin.Load(kFakeProgrammer));
    EXPECT_FALSE(ExecutableDirectory().empty());
    EXPECT_EQ(ExecutableDirectory().back(), '/');
}

TEST_F(ProgrammerPluginTest, LoadOnALoadedPluginUnloadsFirst) {
    LoadAndAttach();
    EXPECT_FALSE(plugin.Load("no-such-plugin.so", kTestPluginDir));
    EXPECT_FALSE(plugin.IsLoaded());
    EXPECT_EQ(fake.Calls(CallKind::Detach).size(), 1u);
}

TEST_F(ProgrammerPluginTest, SameLibraryLoadsTwiceWithoutHarm) {
    LoadAndAttach();
    {
        ProgrammerPlugin second;
        ASSERT_TRUE(second.Load(kFakeProgrammer, kTestPluginDir));
        std::string ports;
        EXPECT_GT(second.EnumeratePorts(ports, 256), 0);
    }
    EXPECT_TRUE(plugin.IsAttached());
    EXPECT_EQ(plugin.SetPower(true), kPluginOk);
    EXPECT_TRUE(plugin.IsChipPresent());
}

// Unloading

TEST_F(ProgrammerPluginTest, UnloadWithoutSessionReleasesTheLibrary) {
    EXPECT_EQ(plugin.Unload(), kPluginOk);
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    EXPECT_EQ(plugin.Unload(), kPluginOk);
    EXPECT_FALSE(plugin.IsLoaded());
    EXPECT_TRUE(fake.Calls(CallKind::Detach).empty());
}

TEST_F(ProgrammerPluginTest, UnloadDetachesAnOpenSessionAndStaysWhenThatFails) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) { config.detachStatus = 9; });
    EXPECT_EQ(plugin.Unload(), kPluginFailed);
    EXPECT_TRUE(plugin.IsAttached());
    fake.Configure([](fake::Config& config) { config.detachStatus = 0; });
    EXPECT_EQ(plugin.Unload(), kPluginOk);
    EXPECT_FALSE(plugin.IsLoaded());
    const auto detached = fake.Calls(CallKind::Detach);
    ASSERT_EQ(detached.size(), 2u);
    EXPECT_EQ(detached[1].value, 0x51u);
}

// Sessions

TEST_F(ProgrammerPluginTest, AttachOpensASessionAndResetsItDetachClosesIt) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    EXPECT_EQ(plugin.Attach("fake1"), kPluginOk);
    EXPECT_TRUE(plugin.IsAttached());
    const auto calls = fake.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, CallKind::Attach);
    EXPECT_EQ(calls[1].kind, CallKind::Reset);
    EXPECT_EQ(calls[1].value, 0x51u);
    EXPECT_EQ(plugin.Detach(), kPluginOk);
    EXPECT_FALSE(plugin.IsAttached());
    EXPECT_TRUE(plugin.IsLoaded());
    EXPECT_EQ(plugin.Detach(), kPluginNotReady);
    // A failed reset is handed back, and the session stays open all the same.
    fake.Configure([](fake::Config& config) { config.resetStatus = 4; });
    EXPECT_EQ(plugin.Attach("fake0"), 4);
    EXPECT_TRUE(plugin.IsAttached());
}

// Whether a session is already open or the plug-in opens none, nothing is reset.
TEST_F(ProgrammerPluginTest, AttachGivesNoSessionWhenOneIsOpenOrNoneOpens) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    EXPECT_EQ(plugin.Attach("COM9"), kPluginNoSession);
    EXPECT_FALSE(plugin.IsAttached());
    EXPECT_TRUE(fake.Calls(CallKind::Reset).empty());
    LoadAndAttach();
    EXPECT_EQ(plugin.Attach("fake1"), kPluginNoSession);
    EXPECT_TRUE(plugin.IsAttached());
    EXPECT_TRUE(fake.Calls().empty());
}

// Wrappers without a session or library

TEST_F(ProgrammerPluginTest, SessionWrappersOnALoadedUnattachedPluginDoNotCallIt) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    std::uint32_t value = 7;
    std::uint8_t buffer[4] = {};
    std::uint32_t length = 4;
    std::string firmware = "old";
    EXPECT_EQ(plugin.Reset(), kPluginNotReady);
    EXPECT_EQ(plugin.GetSessionFacility(PGM_SESSION_BLOCK_SIZE, value), kPluginNotReady);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(plugin.SetPower(true), kPluginNotReady);
    EXPECT_EQ(plugin.GetBlockSize(value), kPluginNotReady);
    EXPECT_EQ(plugin.GetFirmware(firmware, 64), kPluginNotReady);
    EXPECT_EQ(firmware, "");
    EXPECT_EQ(plugin.Read(0, buffer, length), kPluginNotReady);
    EXPECT_EQ(length, 0u);
    length = 4;
    EXPECT_EQ(plugin.Write(0, buffer, length), kPluginNotReady);
    EXPECT_FALSE(plugin.IsHardwareIdentified());
    EXPECT_FALSE(plugin.IsHardwarePlugged());
    EXPECT_FALSE(plugin.IsChipPresent());
    EXPECT_TRUE(fake.Calls().empty());
}

TEST_F(ProgrammerPluginTest, EveryWrapperOfAnUnloadedPluginAnswersNotReady) {
    std::string text = "old";
    std::uint32_t value = 7;
    EXPECT_EQ(plugin.Attach("fake0"), kPluginNotReady);
    EXPECT_EQ(plugin.GetVersion(text), kPluginNotReady);
    EXPECT_EQ(text, "old");
    EXPECT_EQ(plugin.EnumeratePorts(text, 256), -1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(plugin.GetGlobalFacility(PGM_GLOBAL_IO_DELAY_MIN, &value), kPluginNotReady);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(plugin.InstallDriver(), kPluginNotReady);
    EXPECT_FALSE(plugin.IsDriverInstalled());
    EXPECT_FALSE(plugin.CanManageDriver());
    EXPECT_FALSE(plugin.HasIoDelayRange());
    EXPECT_FALSE(plugin.GetDescription(text));
}

// Status scale

TEST_F(ProgrammerPluginTest, StatusesOneToFourPassAndOthersBecomeTwo) {
    LoadAndAttach();
    const std::pair<std::int32_t, int> cases[] = {
        {0, 0}, {1, 1}, {3, 3}, {4, 4}, {5, 2}, {7, 2}, {-1, 2}, {0x7FFFFFFF, 2}, {-2147483647 - 1, 2}};
    for (const auto& [given, seen] : cases) {
        fake.Configure([given = given](fake::Config& config) { config.setStatus = given; });
        EXPECT_EQ(plugin.SetPower(false), seen) << given;
    }
}

// Facilities

// The chip answers only while powered, so the chip question is asked with the power on.
TEST_F(ProgrammerPluginTest, QuestionsFollowTheFacilityAnswers) {
    LoadAndAttach();
    EXPECT_EQ(plugin.SetPower(true), kPluginOk);
    const struct {
        const char* name;
        bool (ProgrammerPlugin::*ask)() const;
        bool fake::Config::*answer;
    } cases[] = {
        {"driver installed", &ProgrammerPlugin::IsDriverInstalled, &fake::Config::driverInstalled},
        {"can manage driver", &ProgrammerPlugin::CanManageDriver, &fake::Config::canManageDriver},
        {"I/O delay range", &ProgrammerPlugin::HasIoDelayRange, &fake::Config::ioDelayAdjustable},
        {"hardware identified", &ProgrammerPlugin::IsHardwareIdentified, &fake::Config::hardwareIdentified},
        {"hardware plugged", &ProgrammerPlugin::IsHardwarePlugged, &fake::Config::hardwarePlugged},
        {"chip present", &ProgrammerPlugin::IsChipPresent, &fake::Config::chipPresent},
    };
    for (const auto& c : cases) {
        for (const bool answer : {true, false}) {
            fake.Configure([&](fake::Config& config) { config.*c.answer = answer; });
            EXPECT_EQ((plugin.*c.ask)(), answer) << c.name;
        }
    }
    EXPECT_EQ(plugin.SetPower(false), kPluginOk);
    fake.Configure([](fake::Config& config) { config.chipPresent = true; });
    EXPECT_FALSE(plugin.IsChipPresent()) << "not powered";
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    EXPECT_EQ(plugin.GetIoDelayMin(low), kPluginOk);
    EXPECT_EQ(plugin.GetIoDelayMax(high), kPluginOk);
    EXPECT_EQ(low, 1u);
    EXPECT_EQ(high, 50u);
}

// Install and uninstall send no value pointer; the setters send their codes and values.
TEST_F(ProgrammerPluginTest, CommandsSendTheirCodesAndValues) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) { config.installStatus = 3; });
    EXPECT_EQ(plugin.InstallDriver(), 3);
    EXPECT_EQ(plugin.UninstallDriver(), kPluginOk);
    EXPECT_EQ(plugin.SetWideAddressing(true), kPluginOk);
    EXPECT_EQ(plugin.SetIoDelay(12), kPluginOk);
    EXPECT_EQ(plugin.SetPower(false), kPluginOk);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sent;
    for (const auto& call : fake.Calls()) {
        sent.emplace_back(call.code, call.value);
    }
    EXPECT_EQ(sent, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{PGM_GLOBAL_INSTALL_DRIVER, 0},
                                                                          {PGM_GLOBAL_UNINSTALL_DRIVER, 0},
                                                                          {PGM_SESSION_WIDE_ADDRESSING, 1},
                                                                          {PGM_SESSION_IO_DELAY, 12},
                                                                          {PGM_SESSION_POWER, 0}}));
}

TEST_F(ProgrammerPluginTest, BlockSizeComesAsTheStatusAndTheValue) {
    LoadAndAttach();
    std::uint32_t size = 0;
    EXPECT_EQ(plugin.GetBlockSize(size), kPluginOk);
    EXPECT_EQ(size, 16u);
    fake.Configure([](fake::Config& config) {
        config.blockSizeStatus = 1;
        config.blockSize = 0;
    });
    EXPECT_EQ(plugin.GetBlockSize(size), 1);
    EXPECT_EQ(size, 0u);
}

TEST_F(ProgrammerPluginTest, OutValuesThatThePluginLeavesUntouchedReadAsZero) {
    // The minimal plug-in answers success without writing any value.
    ASSERT_TRUE(plugin.Load("fake-nodescription.so", kTestPluginDir));
    ASSERT_EQ(plugin.Attach("any"), kPluginOk);
    std::uint32_t value = 99;
    EXPECT_EQ(plugin.GetBlockSize(value), kPluginOk);
    EXPECT_EQ(value, 0u);
    value = 99;
    EXPECT_EQ(plugin.GetIoDelayMax(value), kPluginOk);
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(plugin.IsDriverInstalled());
    EXPECT_FALSE(plugin.IsHardwareIdentified());
    std::string version = "old";
    EXPECT_EQ(plugin.GetVersion(version), kPluginOk);
    EXPECT_EQ(version, "old");
    std::string description = "old";
    EXPECT_FALSE(plugin.GetDescription(description));
    EXPECT_EQ(description, "");
}

// Texts

TEST_F(ProgrammerPluginTest, VersionIsCopiedOnSuccessOnlyAndDescriptionCutAtTheFirstLineBreak) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    std::string version;
    EXPECT_EQ(plugin.GetVersion(version), kPluginOk);
    EXPECT_EQ(version, "fake 1.0");
    fake.Configure([](fake::Config& config) {
        config.versionStatus = 1;
        config.version = "other";
        config.description = "First line\r\nsecond";
    });
    EXPECT_EQ(plugin.GetVersion(version), 1);
    EXPECT_EQ(version, "fake 1.0");
    std::string description;
    EXPECT_TRUE(plugin.GetDescription(description));
    EXPECT_EQ(description, "First line");
}

TEST_F(ProgrammerPluginTest, FirmwareIsAskedWithTheGivenRoom) {
    LoadAndAttach();
    std::string firmware;
    EXPECT_EQ(plugin.GetFirmware(firmware, 64), kPluginOk);
    EXPECT_EQ(firmware, "FW 2.1");
    ASSERT_EQ(fake.Calls(CallKind::GetFirmware).size(), 1u);
    EXPECT_EQ(fake.Calls(CallKind::GetFirmware)[0].asked, 64u);
    fake.Configure([](fake::Config& config) { config.firmwareStatus = 1; });
    EXPECT_EQ(plugin.GetFirmware(firmware, 64), 1);
    EXPECT_EQ(firmware, "");
}

TEST_F(ProgrammerPluginTest, PortListIsTheBytesThePluginUsedEvenNone) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    std::string ports;
    EXPECT_EQ(plugin.EnumeratePorts(ports, 256), 12);
    EXPECT_EQ(ports, std::string("fake0\0fake1\0", 12));
    EXPECT_EQ(SplitPortList(ports), (std::vector<std::string>{"fake0", "fake1"}));
    fake.Configure([](fake::Config& config) { config.ports.clear(); });
    EXPECT_EQ(plugin.EnumeratePorts(ports, 256), 0);
    EXPECT_EQ(ports, "");
}

// Transfers

TEST_F(ProgrammerPluginTest, ReadAndWriteMoveTheBytesAndHandBackTheLength) {
    LoadAndAttach();
    const std::uint8_t data[4] = {1, 2, 3, 4};
    std::uint32_t length = 4;
    EXPECT_EQ(plugin.Write(0x20, data, length), kPluginOk);
    EXPECT_EQ(length, 4u);
    std::uint8_t back[4] = {};
    length = 4;
    EXPECT_EQ(plugin.Read(0x20, back, length), kPluginOk);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 4), std::vector<std::uint8_t>(data, data + 4));
    fake.Configure([](fake::Config& config) { config.faults = {{CallKind::Read, 2, 0, 3}}; });
    EXPECT_EQ(plugin.Read(0x20, back, length), kPluginOk);
    EXPECT_EQ(length, 3u) << "a short transfer hands back its length";
}

// A plug-in that breaks its promises

class HostilePluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Load(kHostilePlugin, kTestPluginDir));
        // Its Reset answers -1, which Attach hands on as 2; the session stays open all the same.
        ASSERT_EQ(plugin.Attach("any"), kPluginFailed);
        ASSERT_TRUE(plugin.IsAttached());
    }

    ProgrammerPlugin plugin;
};

TEST_F(HostilePluginTest, UnterminatedTextsStayWithinTheirLimits) {
    std::string version;
    EXPECT_EQ(plugin.GetVersion(version), kPluginOk);
    EXPECT_EQ(version, std::string(kPluginTextLimit, 'H'));
    std::string description;
    EXPECT_TRUE(plugin.GetDescription(description));
    EXPECT_EQ(description.size(), kPluginTextLimit);
    // Firmware stays within its own buffer.
    std::string firmware;
    EXPECT_EQ(plugin.GetFirmware(firmware, 64), kPluginOk);
    EXPECT_EQ(firmware, std::string(64, 'F'));
}

TEST_F(HostilePluginTest, PortListThatFillsItsBufferEndsThere) {
    std::string ports;
    EXPECT_EQ(plugin.EnumeratePorts(ports, 30), 30);
    ASSERT_EQ(ports.size(), 30u);
    // "hostile0\0hostile1\0hostile0\0xxx": the last name is cut by the buffer's end.
    const auto names = SplitPortList(ports);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "hostile0");
    EXPECT_EQ(names[2], "hostile0");
    EXPECT_EQ(names[3], "hos");
}

TEST_F(HostilePluginTest, OversizedLengthsAreTakenAsTheLengthAskedFor) {
    std::uint8_t buffer[16] = {};
    std::uint32_t length = 16;
    EXPECT_EQ(plugin.Read(0, buffer, length), kPluginOk);
    EXPECT_EQ(length, 16u);
    EXPECT_EQ(buffer[15], 0xAB);
    length = 8;
    EXPECT_EQ(plugin.Write(0, buffer, length), kPluginFailed);
    EXPECT_EQ(length, 8u);
}

TEST_F(HostilePluginTest, StatusesOutsideTheScaleAreFailuresAndValuesPassAsTheyCome) {
    // Status 7 with the value 1: not installed, since the call failed.
    EXPECT_FALSE(plugin.IsDriverInstalled());
    EXPECT_FALSE(plugin.CanManageDriver());
    EXPECT_EQ(plugin.InstallDriver(), kPluginFailed);
    EXPECT_EQ(plugin.SetPower(true), kPluginFailed);
    EXPECT_EQ(plugin.Reset(), kPluginFailed);
    // Status -1 with the value 1.
    EXPECT_FALSE(plugin.IsChipPresent());
    EXPECT_TRUE(plugin.IsHardwareIdentified());
    // A block size with status 0 passes as it comes.
    std::uint32_t size = 0;
    EXPECT_EQ(plugin.GetBlockSize(size), kPluginOk);
    EXPECT_EQ(size, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace tessaly
