#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeLibrary.h"
#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "device/PluginHost.h"

namespace tessaly {
namespace {

using test::kFakeProgrammer;
using test::kTestPluginDir;

// Every "*.so" file that loads, has every entry point and a description is listed, sorted by name: not
// fake-eleven.so (without PGM_Write), a file that is no library, a folder or a file of another name. A
// description is cut at its first line break, listing opens no session, and a listed plug-in loads by the
// name its line gives, whatever its case. The links share the loaded fake's bench; the copies have their own.
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
    const struct {
        std::string description;
        int count;
        std::string list;
    } cases[] = {
        {"Fake programmer\r\nsecond line", 2,
         "Acme-USB.so->Fake programmer\nfake-programmer.so->Fake programmer\n"},
        {"", 1, "Acme-USB.so->Fake programmer\n"},
    };
    for (const auto& c : cases) {
        fake.Configure([&c](fake::Config& config) { config.description = c.description; });
        fake.ClearLog();
        std::string list = "old";
        EXPECT_EQ(EnumeratePlugins(list, directory.Path()), c.count);
        EXPECT_EQ(list, c.list);
        EXPECT_EQ(fake.Log(), "Description");
    }
    ProgrammerPlugin plugin;
    EXPECT_TRUE(plugin.Load(ExtractPluginFileName("Acme-USB.so->Fake programmer"), directory.Path()));
}

TEST(EnumeratePluginsTest, EmptyMissingOrUnnamedDirectoryGivesAnEmptyList) {
    test::TempDirectory empty;
    for (const std::string& directory :
         {empty.Path().string(), std::string("/nonexistent/tessaly/"), std::string()}) {
        std::string list = "old";
        EXPECT_EQ(EnumeratePlugins(list, directory), 0) << directory;
        EXPECT_EQ(list, "") << directory;
    }
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
TEST(ManageDriverTest, OffersToUninstallOrInstallAndShowsAFailure) {
    using Box = test::RecordingPrompt::Box;
    test::RecordingPrompt withoutPlugin(true);
    ManageDriver(nullptr, withoutPlugin);
    EXPECT_TRUE(withoutPlugin.boxes.empty());
    test::FakeLibrary fake;
    ProgrammerPlugin plugin;
    ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
    const Box uninstall{"Driver uninstalling", "Do you want to uninstall driver from system?",
                        PromptIcon::Error, PromptAnswer::No};
    const Box install{"Driver installing", "Do you want to install required driver?", PromptIcon::Error,
                      PromptAnswer::No};
    const Box failed{"Driver installing", "Operation has failed!", PromptIcon::Error, std::nullopt};
    const struct {
        std::uint32_t canManage;
        std::uint32_t installed;
        std::uint32_t installs;
        bool answer;
        std::vector<Box> boxes;
        const char* calls;
    } cases[] = {
        {0, 1, 1, true, {}, "Global 1"},
        {1, 1, 1, true, {uninstall}, "Global 1, Global 0, Global 3"},
        {1, 0, 1, true, {install}, "Global 1, Global 0, Global 2"},
        {1, 1, 1, false, {uninstall}, "Global 1, Global 0"},
        {1, 0, 0, true, {install, failed}, "Global 1, Global 0, Global 2"},
    };
    for (const auto& c : cases) {
        fake.Configure([&c](fake::Config& config) {
            config.global[PGM_GLOBAL_CAN_MANAGE_DRIVER] = c.canManage;
            config.global[PGM_GLOBAL_DRIVER_INSTALLED] = c.installed;
            config.global[PGM_GLOBAL_INSTALL_DRIVER] = c.installs;
        });
        fake.ClearLog();
        test::RecordingPrompt prompt(c.answer);
        ManageDriver(&plugin, prompt);
        EXPECT_EQ(prompt.boxes, c.boxes) << c.calls;
        EXPECT_EQ(fake.Log(), c.calls);
    }
}

}  // namespace
}  // namespace tessaly
