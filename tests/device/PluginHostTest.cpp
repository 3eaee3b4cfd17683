// The plug-in host against the fake programmer: a plug-in's wrappers, the plug-in list, the driver dialogue.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "FakeLibrary.h"
#include "RecordingPrompt.h"
#include "TestFiles.h"
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
    // The file, its directory (a missing slash is added) and whether it loads.
    const std::tuple<std::string, std::string, bool> cases[] = {{kFakeProgrammer, kTestPluginDir, true},
                                                                {kFakeProgrammer, withoutSlash, true},
                                                                {"no-such-plugin.so", kTestPluginDir, false},
                                                                {"", kTestPluginDir, false},
                                                                {kFakeProgrammer, "", false},
                                                                {"fake-eleven.so", kTestPluginDir, false}};
    for (const auto& [name, directory, loads] : cases) {
        ProgrammerPlugin loaded;
        EXPECT_EQ(loaded.Load(name, directory), loads) << name << " in " << directory;
        EXPECT_EQ(loaded.IsLoaded(), loads);
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

// A question answers yes for status 0 with a value not 0, or for status 0 alone where it asks for no value;
// a failure with a value is a no. The chip answers only while powered.
TEST_F(ProgrammerPluginTest, QuestionsFollowTheFacilityAnswers) {
    LoadAndAttach();
    EXPECT_EQ(plugin.SetPower(true), kPluginOk);
    const struct {
        bool (ProgrammerPlugin::*ask)() const;
        bool global;
        std::uint32_t code;
        bool valued;
    } cases[] = {
        {&ProgrammerPlugin::IsDriverInstalled, true, PGM_GLOBAL_DRIVER_INSTALLED, true},
        {&ProgrammerPlugin::CanManageDriver, true, PGM_GLOBAL_CAN_MANAGE_DRIVER, false},
        {&ProgrammerPlugin::HasIoDelayRange, true, PGM_GLOBAL_IO_DELAY_RANGE, false},
        {&ProgrammerPlugin::IsHardwareIdentified, false, PGM_SESSION_HARDWARE_IDENTIFIED, true},
        {&ProgrammerPlugin::IsHardwarePlugged, false, PGM_SESSION_HARDWARE_PLUGGED, true},
        {&ProgrammerPlugin::IsChipPresent, false, PGM_SESSION_CHIP_PRESENT, true},
    };
    for (const auto& c : cases) {
        for (const auto& [value, status] : {std::pair{1u, 0}, {0u, 0}, {1u, 7}}) {
            fake.Configure([&c, value = value, status = status](fake::Config& config) {
                (c.global ? config.global : config.session)[c.code] = value;
                config.statuses = {{c.global ? "Global" : "Get", status}};
            });
            EXPECT_EQ((plugin.*c.ask)(), status == 0 && (value != 0 || !c.valued))
                << &c - cases << value << status;
        }
    }
    fake.Configure([](fake::Config& config) { config.statuses.clear(); });
    EXPECT_EQ(plugin.SetPower(false), kPluginOk);
    EXPECT_FALSE(plugin.IsChipPresent()) << "not powered";
}

// The commands and setters send their codes and values; the I/O delay limits come as the plug-in gives them.
// Statuses 1 to 4 pass, any other failure becomes 2.
TEST_F(ProgrammerPluginTest, CommandsSendTheirCodesAndValuesAndHandBackTheirStatus) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) { config.global[PGM_GLOBAL_INSTALL_DRIVER] = 0; });
    EXPECT_EQ(plugin.InstallDriver(), 1);
    EXPECT_EQ(plugin.UninstallDriver(), kPluginOk);
    EXPECT_EQ(plugin.SetWideAddressing(true), kPluginOk);
    EXPECT_EQ(plugin.SetIoDelay(12), kPluginOk);
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    EXPECT_EQ(plugin.GetIoDelayMin(low), kPluginOk);
    EXPECT_EQ(plugin.GetIoDelayMax(high), kPluginOk);
    EXPECT_EQ(std::pair(low, high), std::pair(1u, 50u));
    EXPECT_EQ(fake.Log(), "Global 2, Global 3, Set 4=1, Set 7=12, Global 5, Global 6");
    const std::pair<std::int32_t, int> statuses[] = {
        {0, 0}, {1, 1}, {3, 3}, {4, 4}, {5, 2}, {7, 2}, {-1, 2}, {0x7FFFFFFF, 2}, {-2147483647 - 1, 2}};
    for (const auto& [given, seen] : statuses) {
        fake.Configure([given = given](fake::Config& config) { config.statuses["Set"] = given; });
        EXPECT_EQ(plugin.SetPower(false), seen) << given;
    }
}

// The host copies texts only within their limits, whatever the plug-in claims; a version only on success with
// a pointer.
TEST_F(ProgrammerPluginTest, TextsStayWithinTheirLimits) {
    LoadAndAttach();
    const std::string overlong(kPluginTextLimit + 100, 'H');
    // The plug-in's text and status, and the version copied.
    const std::tuple<std::string, int, std::string> versions[] = {
        {"fake 1.0", 0, "fake 1.0"},
        {overlong, 0, overlong.substr(0, kPluginTextLimit)},
        {"other", 1, "old"},
        {"", 0, "old"}};
    for (const auto& [given, status, copied] : versions) {
        fake.Configure([&given = given, status = status](fake::Config& config) {
            config.version = config.description = given;
            config.statuses = {{"Version", status}};
        });
        std::string version = "old";
        std::string description = "old";
        EXPECT_EQ(plugin.GetVersion(version), status);
        EXPECT_EQ(version, copied);
        EXPECT_EQ(plugin.GetDescription(description), !given.empty());
        EXPECT_EQ(description, given.substr(0, kPluginTextLimit));
    }
    std::string text;
    fake.Configure([](fake::Config& config) { config.firmware = std::string(100, 'F'); });
    EXPECT_EQ(plugin.GetFirmware(text, 64), kPluginOk);
    EXPECT_EQ(text, std::string(64, 'F'));
    fake.Configure([](fake::Config& config) { config.statuses["Firmware"] = 1; });
    EXPECT_EQ(plugin.GetFirmware(text, 64), 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(fake.Log({"Firmware"}), "Firmware 64, Firmware 64");
    EXPECT_EQ(plugin.EnumeratePorts(text, 256), 12);
    EXPECT_EQ(text, std::string("fake0\0fake1\0", 12));
    EXPECT_EQ(plugin.EnumeratePorts(text, 8), 8);
    EXPECT_EQ(SplitPortList(text), (std::vector<std::string>{"fake0", "fa"}));
    fake.Configure([](fake::Config& config) { config.ports.clear(); });
    EXPECT_EQ(plugin.EnumeratePorts(text, 256), 0);
    EXPECT_EQ(text, "");
}

TEST_F(ProgrammerPluginTest, ReadAndWriteHandBackNoLengthBeyondTheOneAskedFor) {
    LoadAndAttach();
    fake.Configure([](fake::Config& config) {
        config.faults = {{'R', 1, 1, 0, 0xFFFFFFFF}, {'W', 1, 1, 7, 1000}};
    });
    std::uint8_t bytes[4] = {};
    std::uint32_t length = 4;
    EXPECT_EQ(plugin.Read(0x20, bytes, length), kPluginOk);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(plugin.Write(0x20, bytes, length), kPluginFailed);
    EXPECT_EQ(length, 4u);
}

// Each "*.so" file that loads with every entry point and hands out a description is listed by name (no
// fake-eleven.so, no file that is no library, folder or other name), the description cut at a line break;
// listing opens no session, and a listed plug-in loads by its line's name. The links share the loaded fake's
// bench, the copies have their own. No directory, or an empty one, lists nothing.
TEST(EnumeratePluginsTest, ListsEveryLoadablePluginWithADescription) {
    test::FakeLibrary fake;
    test::TempDirectory directory;
    for (const char* name : {"fake-programmer.so", "fake-eleven.so"}) {
        std::filesystem::create_symlink(kTestPluginDir + name, directory.Path() / name);
    }
    for (const char* name : {"Acme-USB.so", "programmer.so.1", "programmer.dll"}) {
        std::filesystem::copy_file(kTestPluginDir + kFakeProgrammer, directory.Path() / name);
    }
    directory.Write("broken.so", "not a library");
    std::filesystem::create_directory(directory.Path() / "folder.so");
    test::TempDirectory empty;
    const std::string acme = "Acme-USB.so->Fake programmer\n";
    // The directory, the description, and the count and list of plug-ins found.
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {directory.Path(), "Fake programmer\r\nsecond line", 2,
         acme + "fake-programmer.so->Fake programmer\n"},
        {directory.Path(), "", 1, acme},
        {empty.Path(), "", 0, ""},
        {"/nonexistent/tessaly/", "", 0, ""},
        {"", "", 0, ""},
    };
    for (const auto& [path, description, count, expected] : cases) {
        fake.Configure(
            [&description = description](fake::Config& config) { config.description = description; });
        fake.ClearLog();
        std::string list = "old";
        EXPECT_EQ(EnumeratePlugins(list, path), count) << path;
        EXPECT_EQ(list, expected);
        EXPECT_EQ(fake.Log(), count != 0 ? "Description" : "");
    }
    ProgrammerPlugin plugin;
    EXPECT_TRUE(plugin.Load(ExtractPluginFileName(acme), directory.Path()));
}

// File names keep their case; the extension is found in any case.
TEST(ExtractPluginFileNameTest, TakesTheNameAsItStandsUpToTheFirstExtension) {
    const std::pair<std::string, std::string> cases[] = {
        {"  \tMy-Programmer.SO->USB programmer (.so build)", "My-Programmer.SO"},
        {"Acme-USB.so->Acme USB programmer", "Acme-USB.so"},
        {".so->hidden", ""},
        {"   .SO->hidden", ""},
        {"programmer.dll->Old programmer", ""},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& [line, name] : cases) {
        EXPECT_EQ(ExtractPluginFileName(line), name) << line;
    }
}

// Empty names are skipped, and an unterminated last name ends at the list's end.
TEST(SplitPortListTest, SplitsAtZeroBytes) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(SplitPortList(std::string("ttyUSB0\0ttyUSB1\0", 16)), (Names{"ttyUSB0", "ttyUSB1"}));
    EXPECT_EQ(SplitPortList(std::string("\0a\0\0\0b\0\0", 9)), (Names{"a", "b"}));
    EXPECT_EQ(SplitPortList(std::string("a\0bc", 4)), (Names{"a", "bc"}));
    EXPECT_TRUE(SplitPortList("").empty());
}

// Without a plug-in nothing is shown. Otherwise: the questions (No their default, since Yes changes the
// system) and messages shown, and the global facility codes sent, for each answer.
TEST_F(ProgrammerPluginTest, ManageDriverOffersToUninstallOrInstallAndShowsAFailure) {
    using Box = test::RecordingPrompt::Box;
    test::RecordingPrompt withoutPlugin(true);
    ManageDriver(nullptr, withoutPlugin);
    EXPECT_TRUE(withoutPlugin.boxes.empty());
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    const Box uninstall{"Driver uninstalling", "Do you want to uninstall driver from system?",
                        PromptIcon::Error, PromptAnswer::No};
    const Box install{"Driver installing", "Do you want to install required driver?", PromptIcon::Error,
                      PromptAnswer::No};
    const Box failed{"Driver installing", "Operation has failed!", PromptIcon::Error, std::nullopt};
    // The plug-in can manage its driver, has it installed, can install it; the answer, boxes and calls.
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, bool, std::vector<Box>, const char*>
        cases[] = {
            {0, 1, 1, true, {}, "Global 1"},
            {1, 1, 1, true, {uninstall}, "Global 1, Global 0, Global 3"},
            {1, 0, 1, true, {install}, "Global 1, Global 0, Global 2"},
            {1, 1, 1, false, {uninstall}, "Global 1, Global 0"},
            {1, 0, 0, true, {install, failed}, "Global 1, Global 0, Global 2"},
        };
    for (const auto& [canManage, installed, installs, answer, boxes, calls] : cases) {
        fake.Configure(
            [canManage = canManage, installed = installed, installs = installs](fake::Config& config) {
                config.global[PGM_GLOBAL_CAN_MANAGE_DRIVER] = canManage;
                config.global[PGM_GLOBAL_DRIVER_INSTALLED] = installed;
                config.global[PGM_GLOBAL_INSTALL_DRIVER] = installs;
            });
        fake.ClearLog();
        test::RecordingPrompt prompt(answer);
        ManageDriver(&plugin, prompt);
        EXPECT_EQ(prompt.boxes, boxes) << calls;
        EXPECT_EQ(fake.Log(), calls);
    }
}

}  // namespace
}  // namespace tessaly
