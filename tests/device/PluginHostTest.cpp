#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeLibrary.h"
#include "device/PluginHost.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using fake::CallKind;
using test::FakeLibrary;
using test::kFakeProgrammer;
using test::kTestPluginDir;

namespace fs = std::filesystem;

// A directory of its own for one test, removed afterwards.
class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::string pattern = (fs::temp_directory_path() / "tessaly-host-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TemporaryDirectory() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    std::string Path() const { return path_.string() + "/"; }
    void Copy(const std::string& from, const std::string& name) const { fs::copy_file(from, path_ / name); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name) << text;
    }

  private:
    fs::path path_;
};

// Enumerating

TEST(EnumeratePluginsTest, ListsEveryLoadablePluginWithADescriptionSortedByName) {
    FakeLibrary fake;
    std::string list;
    EXPECT_EQ(EnumeratePlugins(list, kTestPluginDir), 2);
    // fake-eleven.so lacks an export and fake-nodescription.so hands out no description.
    EXPECT_EQ(list, "fake-hostile.so->" + std::string(kPluginTextLimit, 'H') + "\n" +
                        "fake-programmer.so->Fake programmer\n");
}

TEST(EnumeratePluginsTest, AsksForTheDescriptionWithoutOpeningASession) {
    FakeLibrary fake;
    std::string list;
    EnumeratePlugins(list, kTestPluginDir);
    const auto calls = fake.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, CallKind::GetDescription);
}

TEST(EnumeratePluginsTest, SkipsFilesThatAreNotPlugins) {
    TemporaryDirectory directory;
    directory.Copy(kTestPluginDir + kFakeProgrammer, "b-programmer.so");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "a-programmer.so");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "programmer.so.1");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "programmer.dll");
    directory.Write("broken.so", "not a library");
    fs::create_directory(directory.Path() + "folder.so");
    std::string list;
    EXPECT_EQ(EnumeratePlugins(list, directory.Path()), 2);
    EXPECT_EQ(list, "a-programmer.so->Fake programmer\nb-programmer.so->Fake programmer\n");
}

TEST(EnumeratePluginsTest, DirectoryWithoutPluginsGivesAnEmptyList) {
    TemporaryDirectory directory;
    std::string list = "old";
    EXPECT_EQ(EnumeratePlugins(list, directory.Path()), 0);
    EXPECT_EQ(list, "");
}

TEST(EnumeratePluginsTest, MissingOrUnnamedDirectoryGivesAnEmptyList) {
    std::string list = "old";
    EXPECT_EQ(EnumeratePlugins(list, "/nonexistent/tessaly/"), 0);
    EXPECT_EQ(list, "");
    EXPECT_EQ(EnumeratePlugins(list, ""), 0);
}

TEST(EnumeratePluginsTest, ListLinesGiveBackTheirFileNames) {
    std::string list;
    EnumeratePlugins(list, kTestPluginDir);
    std::vector<std::string> names;
    for (std::size_t start = 0, end; (end = list.find('\n', start)) != std::string::npos; start = end + 1) {
        names.push_back(ExtractPluginFileName(list.substr(start, end - start)));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"fake-hostile.so", "fake-programmer.so"}));
}

// List lines

TEST(ExtractPluginFileNameTest, TakesTheLowerCaseNameUpToTheFirstExtension) {
    EXPECT_EQ(ExtractPluginFileName("  \tMy-Programmer.SO->USB programmer (.so build)"), "my-programmer.so");
}

TEST(ExtractPluginFileNameTest, ExtensionAtTheStartGivesNothing) {
    EXPECT_EQ(ExtractPluginFileName(".so->hidden"), "");
    EXPECT_EQ(ExtractPluginFileName("   .SO->hidden"), "");
}

TEST(ExtractPluginFileNameTest, LineWithoutExtensionGivesNothing) {
    EXPECT_EQ(ExtractPluginFileName("programmer.dll->Old programmer"), "");
    EXPECT_EQ(ExtractPluginFileName(""), "");
    EXPECT_EQ(ExtractPluginFileName("   "), "");
}

// Port lists

TEST(SplitPortListTest, SplitsAtZeroBytes) {
    EXPECT_EQ(SplitPortList(std::string("ttyUSB0\0ttyUSB1\0", 16)),
              (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));
}

TEST(SplitPortListTest, SkipsEmptyNames) {
    EXPECT_EQ(SplitPortList(std::string("\0a\0\0\0b\0\0", 9)), (std::vector<std::string>{"a", "b"}));
}

TEST(SplitPortListTest, UnterminatedLastNameEndsAtTheListsEnd) {
    EXPECT_EQ(SplitPortList(std::string("a\0bc", 4)), (std::vector<std::string>{"a", "bc"}));
    EXPECT_TRUE(SplitPortList("").empty());
}

// The driver dialogue

struct Box {
    std::string caption;
    std::string text;
    PromptIcon icon;
    bool question;
};

class ScriptedDriverPrompt : public Prompt {
  public:
    explicit ScriptedDriverPrompt(bool answer) : answer_(answer) {}
    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override {
        boxes.push_back({caption, text, icon, false});
    }
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon) override {
        boxes.push_back({caption, text, icon, true});
        return answer_;
    }
    std::vector<Box> boxes;

  private:
    bool answer_;
};

class ManageDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Load(kFakeProgrammer, kTestPluginDir));
        fake.Configure([](fake::Config& config) { config.canManageDriver = true; });
    }

    // The global facility codes the dialogue sent, in order.
    std::vector<std::uint32_t> Codes() const {
        std::vector<std::uint32_t> codes;
        for (const auto& call : fake.Calls(CallKind::GetGlobalFacility)) {
            codes.push_back(call.code);
        }
        return codes;
    }

    FakeLibrary fake;
    ProgrammerPlugin plugin;
};

TEST_F(ManageDriverTest, NothingHappensWithoutAPlugin) {
    ScriptedDriverPrompt prompt(true);
    ManageDriver(nullptr, prompt);
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(ManageDriverTest, NothingHappensWhenThePluginCannotManageItsDriver) {
    fake.Configure([](fake::Config& config) { config.canManageDriver = false; });
    ScriptedDriverPrompt prompt(true);
    ManageDriver(&plugin, prompt);
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{PGM_GLOBAL_CAN_MANAGE_DRIVER}));
}

TEST_F(ManageDriverTest, InstalledDriverIsOfferedForUninstalling) {
    ScriptedDriverPrompt prompt(true);
    ManageDriver(&plugin, prompt);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_TRUE(prompt.boxes[0].question);
    EXPECT_EQ(prompt.boxes[0].caption, "Driver uninstalling");
    EXPECT_EQ(prompt.boxes[0].text, "Do you want to uninstall driver from system?");
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Error);
    EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{PGM_GLOBAL_CAN_MANAGE_DRIVER, PGM_GLOBAL_DRIVER_INSTALLED,
                                                   PGM_GLOBAL_UNINSTALL_DRIVER}));
}

TEST_F(ManageDriverTest, MissingDriverIsOfferedForInstalling) {
    fake.Configure([](fake::Config& config) { config.driverInstalled = false; });
    ScriptedDriverPrompt prompt(true);
    ManageDriver(&plugin, prompt);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].caption, "Driver installing");
    EXPECT_EQ(prompt.boxes[0].text, "Do you want to install required driver?");
    EXPECT_EQ(Codes().back(), static_cast<std::uint32_t>(PGM_GLOBAL_INSTALL_DRIVER));
}

TEST_F(ManageDriverTest, NoChangesNothing) {
    ScriptedDriverPrompt prompt(false);
    ManageDriver(&plugin, prompt);
    EXPECT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(Codes().back(), static_cast<std::uint32_t>(PGM_GLOBAL_DRIVER_INSTALLED));
}

TEST_F(ManageDriverTest, FailureIsShownUnderTheSameCaption) {
    fake.Configure([](fake::Config& config) {
        config.driverInstalled = false;
        config.installStatus = 17;
    });
    ScriptedDriverPrompt prompt(true);
    ManageDriver(&plugin, prompt);
    ASSERT_EQ(prompt.boxes.size(), 2u);
    EXPECT_FALSE(prompt.boxes[1].question);
    EXPECT_EQ(prompt.boxes[1].caption, "Driver installing");
    EXPECT_EQ(prompt.boxes[1].text, "Operation has failed!");
    EXPECT_EQ(prompt.boxes[1].icon, PromptIcon::Error);
}

TEST_F(ManageDriverTest, TextsComeFromTheMessageTable) {
    MessageTable& table = ProcessMessageTable();
    table.Create();
    table.Store(msg::kDriverUninstalling, "Treiber entfernen");
    table.Store(msg::kAskUninstallDriver, "Treiber entfernen?");
    ScriptedDriverPrompt prompt(false);
    ManageDriver(&plugin, prompt);
    table.Free();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].caption, "Treiber entfernen");
    EXPECT_EQ(prompt.boxes[0].text, "Treiber entfernen?");
}

}  // namespace
}  // namespace tessaly
