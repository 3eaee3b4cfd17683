#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeLibrary.h"
#include "device/PluginHost.h"
#include "device/ProgrammerPlugin.h"

namespace tessaly {
namespace {

using test::kFakeProgrammer;
using test::kTestPluginDir;

class ProgrammerPluginTest : public ::testing::Test {
  protected:
    void LoadAndAttach() {
        ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
        ASSERT_EQ(plugin.Attach("fake0"), kPluginOk);
        fake.ClearLog();
    }

    test::FakeLibrary fake;
    ProgrammerPlugin plugin;
};

TEST_F(ProgrammerPluginTest, LoadsOnlyAnExistingLibraryWithEveryEntryPoint) {
    const std::string withoutSlash = kTestPluginDir.substr(0, kTestPluginDir.size() - 1);
    const struct {
        std::string name;
        std::string directory;
        bool loads;
    } cases[] = {
        {kFakeProgrammer, kTestPluginDir, true},
        {kFakeProgrammer, withoutSlash, true},  // joined with a slash
        {"no-such-plugin.so", kTestPluginDir, false},
        {"", kTestPluginDir, false},
        {kFakeProgrammer, "", false},
        {"fake-eleven.so", kTestPluginDir, false},  // without PGM_Write
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " in " + c.directory);
        ProgrammerPlugin loaded;
        EXPECT_EQ(loaded.Load(c.name, c.directory), c.loads);
        EXPECT_EQ(loaded.IsLoaded(), c.loads);
        EXPECT_FALSE(loaded.IsAttached());
    }
    // The test executable's directory, the default, holds no plug-ins: the fakes are kept out of it.
    EXPECT_FALSE(plugin.Load(kFakeProgrammer));
    EXPECT_EQ(ExecutableDirectory().back(), '/');
}

// Attach opens a session and resets it, handing back the reset's status; a port the plug-in opens no session
// for, or a second Attach, gives no session and resets nothing. Unload detaches first and stays when that
// fails; Load on a loaded plug-in unloads first.
TEST_F(ProgrammerPluginTest, SessionsOpenResetAndClose) {
    EXPECT_EQ(plugin.Unload(), kPluginOk);
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    EXPECT_EQ(plugin.Attach("COM9"), kPluginNoSession);
    EXPECT_FALSE(plugin.IsAttached());
    fake.Configure([](fake::Config& config) { config.statuses = {{"Reset", 4}, {"Detach", 9}}; });
    EXPECT_EQ(plugin.Attach("fake1"), 4);
    EXPECT_EQ(plugin.Attach("fake0"), kPluginNoSession);
    EXPECT_EQ(plugin.Unload(), kPluginFailed);
    EXPECT_TRUE(plugin.IsAttached());
    fake.Configure([](fake::Config& config) { config.statuses.clear(); });
    EXPECT_EQ(plugin.Detach(), kPluginOk);
    EXPECT_TRUE(plugin.IsLoaded() && !plugin.IsAttached());
    EXPECT_EQ(plugin.Unload(), kPluginOk);
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    ASSERT_EQ(plugin.Attach("fake0"), kPluginOk);
    EXPECT_FALSE(plugin.Load("no-such-plugin.so", kTestPluginDir));
    EXPECT_FALSE(plugin.IsLoaded());
    EXPECT_EQ(fake.Log(),
              "Attach COM9, Attach fake1, Reset 81, Detach 81, Detach 81, Attach fake0, Reset 81, Detach 81");
}

std::uint8_t buffer[8];

// Without a library every wrapper, and without a session every session wrapper, answers kPluginNotReady
// (EnumeratePorts -1, the questions no) without calling the plug-in, and clears what it hands out: the value
// and text given (7 and "old"), or keeps the text (GetVersion).
TEST_F(ProgrammerPluginTest, WrappersWithoutALibraryOrSessionAnswerNotReady) {
    using P = ProgrammerPlugin;
    using Value = std::uint32_t;
    const struct {
        bool session;
        std::function<int(P&, Value&, std::string&)> call;
        int answer;
        Value value;
        const char* text;
    } cases[] = {
        {false, [](P& p, Value&, std::string&) { return p.Attach("fake0"); }, kPluginNotReady, 7, "old"},
        {false, [](P& p, Value&, std::string& t) { return p.GetVersion(t); }, kPluginNotReady, 7, "old"},
        {false, [](P& p, Value&, std::string& t) { return int{p.GetDescription(t)}; }, 0, 7, ""},
        {false, [](P& p, Value&, std::string& t) { return p.EnumeratePorts(t, 256); }, -1, 7, ""},
        {false, [](P& p, Value& v, std::string&) { return p.GetIoDelayMin(v); }, kPluginNotReady, 0, "old"},
        {false, [](P& p, Value&, std::string&) { return p.InstallDriver(); }, kPluginNotReady, 7, "old"},
        {false, [](P& p, Value&, std::string&) { return int{p.IsDriverInstalled()}; }, 0, 7, "old"},
        {false, [](P& p, Value&, std::string&) { return int{p.CanManageDriver()}; }, 0, 7, "old"},
        {false, [](P& p, Value&, std::string&) { return int{p.HasIoDelayRange()}; }, 0, 7, "old"},
        {true, [](P& p, Value&, std::string&) { return p.Detach(); }, kPluginNotReady, 7, "old"},
        {true, [](P& p, Value&, std::string&) { return p.Reset(); }, kPluginNotReady, 7, "old"},
        {true, [](P& p, Value& v, std::string&) { return p.GetBlockSize(v); }, kPluginNotReady, 0, "old"},
        {true, [](P& p, Value&, std::string&) { return p.SetPower(true); }, kPluginNotReady, 7, "old"},
        {true, [](P& p, Value&, std::string& t) { return p.GetFirmware(t, 64); }, kPluginNotReady, 7, ""},
        {true, [](P& p, Value& v, std::string&) { return p.Read(0, buffer, v); }, kPluginNotReady, 0, "old"},
        {true, [](P& p, Value& v, std::string&) { return p.Write(0, buffer, v); }, kPluginNotReady, 0, "old"},
        {true, [](P& p, Value&, std::string&) { return int{p.IsHardwareIdentified()}; }, 0, 7, "old"},
        {true, [](P& p, Value&, std::string&) { return int{p.IsHardwarePlugged()}; }, 0, 7, "old"},
        {true, [](P& p, Value&, std::string&) { return int{p.IsChipPresent()}; }, 0, 7, "old"},
    };
    ProgrammerPlugin loaded;
    ASSERT_TRUE(loaded.Load(kFakeProgrammer, kTestPluginDir));
    for (const auto& c : cases) {
        for (ProgrammerPlugin* tried : {&plugin, c.session ? &loaded : &plugin}) {
            Value value = 7;
            std::string text = "old";
            EXPECT_EQ(c.call(*tried, value, text), c.answer) << &c - cases;
            EXPECT_EQ(value, c.value) << &c - cases;
            EXPECT_EQ(text, c.text) << &c - cases;
        }
    }
    EXPECT_EQ(fake.Log(), "");
}

TEST_F(ProgrammerPluginTest, StatusesOneToFourPassAndOthersBecomeTwo) {
    LoadAndAttach();
    const std::pair<std::int32_t, int> cases[] = {
        {0, 0}, {1, 1}, {3, 3}, {4, 4}, {5, 2}, {7, 2}, {-1, 2}, {0x7FFFFFFF, 2}, {-2147483647 - 1, 2}};
    for (const auto& [given, seen] : cases) {
        fake.Configure([given = given](fake::Config& config) { config.statuses["Set"] = given; });
        EXPECT_EQ(plugin.SetPower(false), seen) << given;
    }
}

// A question answers yes for status 0 with a value not 0 (for a question without value, status 0 alone);
// a failure with a value is a no. The chip answers only while powered.
TEST_F(ProgrammerPluginTest, QuestionsFollowTheFacilityAnswers) {
    LoadAndAttach();
    EXPECT_EQ(plugin.SetPower(true), kPluginOk);
    const struct {
        const char* name;
        bool (ProgrammerPlugin::*ask)() const;
        bool global;
        std::uint32_t code;
    } cases[] = {
        {"driver installed", &ProgrammerPlugin::IsDriverInstalled, true, PGM_GLOBAL_DRIVER_INSTALLED},
        {"can manage driver", &ProgrammerPlugin::CanManageDriver, true, PGM_GLOBAL_CAN_MANAGE_DRIVER},
        {"I/O delay range", &ProgrammerPlugin::HasIoDelayRange, true, PGM_GLOBAL_IO_DELAY_RANGE},
        {"hardware identified", &ProgrammerPlugin::IsHardwareIdentified, false,
         PGM_SESSION_HARDWARE_IDENTIFIED},
        {"hardware plugged", &ProgrammerPlugin::IsHardwarePlugged, false, PGM_SESSION_HARDWARE_PLUGGED},
        {"chip present", &ProgrammerPlugin::IsChipPresent, false, PGM_SESSION_CHIP_PRESENT},
    };
    for (const auto& c : cases) {
        for (const std::uint32_t value : {1, 0}) {
            fake.Configure(
                [&](fake::Config& config) { (c.global ? config.global : config.session)[c.code] = value; });
            EXPECT_EQ((plugin.*c.ask)(), value != 0) << c.name;
        }
        fake.Configure([&](fake::Config& config) {
            (c.global ? config.global : config.session)[c.code] = 1;
            config.statuses = {{c.global ? "Global" : "Get", 7}};
        });
        EXPECT_FALSE((plugin.*c.ask)()) << c.name << " failed with a value";
        fake.Configure([](fake::Config& config) { config.statuses.clear(); });
    }
    EXPECT_EQ(plugin.SetPower(false), kPluginOk);
    EXPECT_FALSE(plugin.IsChipPresent()) << "not powered";
}

// The commands and setters send their codes and values; the I/O delay limits come as the plug-in gives them.
TEST_F(ProgrammerPluginTest, CommandsSendTheirCodesAndValues) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) { config.global[PGM_GLOBAL_INSTALL_DRIVER] = 0; });
    EXPECT_EQ(plugin.InstallDriver(), 1);
    EXPECT_EQ(plugin.UninstallDriver(), kPluginOk);
    EXPECT_EQ(plugin.SetWideAddressing(true), kPluginOk);
    EXPECT_EQ(plugin.SetIoDelay(12), kPluginOk);
    EXPECT_EQ(plugin.SetPower(false), kPluginOk);
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    EXPECT_EQ(plugin.GetIoDelayMin(low), kPluginOk);
    EXPECT_EQ(plugin.GetIoDelayMax(high), kPluginOk);
    EXPECT_EQ(fake.Log(), "Global 2, Global 3, Set 4=1, Set 7=12, Set 3=0, Global 5, Global 6");
    EXPECT_EQ(low, 1u);
    EXPECT_EQ(high, 50u);
}

// Texts and transfers: the host copies texts only within their limits and takes no length beyond the one
// asked for, whatever the plug-in claims.

TEST_F(ProgrammerPluginTest, VersionAndDescriptionAreCopiedUpToTheTextLimit) {
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    std::string version;
    EXPECT_EQ(plugin.GetVersion(version), kPluginOk);
    EXPECT_EQ(version, "fake 1.0");
    const std::string overlong(kPluginTextLimit + 100, 'H');
    fake.Configure([&](fake::Config& config) { config.version = config.description = overlong; });
    EXPECT_EQ(plugin.GetVersion(version), kPluginOk);
    EXPECT_EQ(version, overlong.substr(0, kPluginTextLimit));
    std::string description;
    EXPECT_TRUE(plugin.GetDescription(description));
    EXPECT_EQ(description, overlong.substr(0, kPluginTextLimit));
    // Copied only on success with a pointer.
    const std::pair<std::string, int> failures[] = {{"other", 1}, {"", 0}};
    for (const auto& [text, status] : failures) {
        fake.Configure([&](fake::Config& config) {
            config.version = text;
            config.statuses = {{"Version", status}};
        });
        version = "old";
        EXPECT_EQ(plugin.GetVersion(version), status);
        EXPECT_EQ(version, "old");
    }
}

TEST_F(ProgrammerPluginTest, FirmwareAndPortListStayWithinTheirRoom) {
    LoadAndAttach();
    std::string text;
    EXPECT_EQ(plugin.GetFirmware(text, 64), kPluginOk);
    EXPECT_EQ(text, "FW 2.1");
    EXPECT_EQ(fake.Log(), "Firmware 64");
    fake.Configure([](fake::Config& config) { config.firmware = std::string(100, 'F'); });
    EXPECT_EQ(plugin.GetFirmware(text, 64), kPluginOk);
    EXPECT_EQ(text, std::string(64, 'F'));
    fake.Configure([](fake::Config& config) { config.statuses["Firmware"] = 1; });
    EXPECT_EQ(plugin.GetFirmware(text, 64), 1);
    EXPECT_EQ(text, "");

    EXPECT_EQ(plugin.EnumeratePorts(text, 256), 12);
    EXPECT_EQ(text, std::string("fake0\0fake1\0", 12));
    EXPECT_EQ(plugin.EnumeratePorts(text, 8), 8);
    EXPECT_EQ(SplitPortList(text), (std::vector<std::string>{"fake0", "fa"}));
    fake.Configure([](fake::Config& config) { config.ports.clear(); });
    EXPECT_EQ(plugin.EnumeratePorts(text, 256), 0);
    EXPECT_EQ(text, "");
}

TEST_F(ProgrammerPluginTest, ReadAndWriteHandBackTheLengthMovedButNeverMore) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) {
        config.faults = {{'R', 2, 2, 0, 3}, {'R', 3, 3, 0, 0xFFFFFFFF}, {'W', 2, 2, 7, 1000}};
    });
    const std::uint8_t data[4] = {1, 2, 3, 4};
    std::uint8_t back[4] = {};
    const struct {
        bool reads;
        PluginStatus status;
        std::uint32_t length;
    } cases[] = {{false, kPluginOk, 4},
                 {true, kPluginOk, 4},
                 {true, kPluginOk, 3},
                 {true, kPluginOk, 4},
                 {false, kPluginFailed, 4}};
    for (const auto& c : cases) {
        std::uint32_t length = 4;
        EXPECT_EQ(c.reads ? plugin.Read(0x20, back, length) : plugin.Write(0x20, data, length), c.status);
        EXPECT_EQ(length, c.length) << &c - cases;
    }
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 4), std::vector<std::uint8_t>(data, data + 4));
}

}  // namespace
}  // namespace tessaly
