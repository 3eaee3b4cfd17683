#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeLibrary.h"
#include "RecordingPrompt.h"
#include "device/PluginHost.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using fake::CallKind;
using Box = test::RecordingPrompt::Box;
using test::FakeLibrary;
using test::kFakeProgrammer;
using test::kTestPluginDir;
using test::RecordingPrompt;

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

// fake-eleven.so lacks an export and fake-nodescription.so hands out no description. The lines give back
// their file names, and no session is opened for the description.
TEST(EnumeratePluginsTest, ListsEveryLoadablePluginWithADescriptionSortedByName) {
    FakeLibrary fake;
    std::string list;
    EXPECT_EQ(EnumeratePlugins(list, kTestPluginDir), 2);
    EXPECT_EQ(list, "fake-hostile.so->" + std::string(kPluginTextLimit, 'H') + "\n" +
                        "fake-programmer.so->Fake programmer\n");
    EXPECT_EQ(ExtractPluginFileName(list.substr(0, list.find('\n'))), "fake-hostile.so");
    const auto calls = fake.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, CallKind::GetDescription);
}

// A listed plug-in loads by the name its line gives, whatever its case.
TEST(EnumeratePluginsTest, SkipsFilesThatAreNotPluginsAndListedOnesLoad) {
    TemporaryDirectory directory;
    directory.Copy(kTestPluginDir + kFakeProgrammer, "b-programmer.so");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "Acme-USB.so");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "programmer.so.1");
    directory.Copy(kTestPluginDir + kFakeProgrammer, "programmer.dll");
    directory.Write("broken.so", "not a library");
    fs::create_directory(directory.Path() + "folder.so");
    std::string list;
    EXPECT_EQ(EnumeratePlugins(list, directory.Path()), 2);
    EXPECT_EQ(list, "Acme-USB.so->Fake programmer\nb-programmer.so->Fake programmer\n");
    ProgrammerPlugin plugin;
    EXPECT_TRUE(plugin.Load(ExtractPluginFileName(list.substr(0, list.find('\n'))), directory.Path()));
}

TEST(EnumeratePluginsTest, EmptyMissingOrUnnamedDirectoryGivesAnEmptyList) {
    TemporaryDirectory empty;
    for (const std::string& directory : {empty.Path(), std::string("/nonexistent/tessaly/"), std::string()}) {
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

// The driver dialogue

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

// Without a plug-in nothing is shown. Otherwise: the questions (No their default, since Yes changes the
// system) and messages shown, and the global facility codes sent, for each answer.
TEST_F(ManageDriverTest, OffersToUninstallOrInstallAndShowsAFailure) {
    RecordingPrompt withoutPlugin(true);
    ManageDriver(nullptr, withoutPlugin);
    EXPECT_TRUE(withoutPlugin.boxes.empty());
    const Box uninstall{"Driver uninstalling", "Do you want to uninstall driver from system?",
                        PromptIcon::Error, PromptAnswer::No};
    const Box install{"Driver installing", "Do you want to install required driver?", PromptIcon::Error,
                      PromptAnswer::No};
    const Box failed{"Driver installing", "Operation has failed!", PromptIcon::Error, std::nullopt};
    constexpr std::uint32_t kCan = PGM_GLOBAL_CAN_MANAGE_DRIVER;
    constexpr std::uint32_t kInstalled = PGM_GLOBAL_DRIVER_INSTALLED;
    const std::vector<std::uint32_t> installCodes = {kCan, kInstalled, PGM_GLOBAL_INSTALL_DRIVER};
    const struct {
        const char* name;
        bool canManage;
        bool installed;
        std::int32_t installStatus;
        bool answer;
        std::vector<Box> boxes;
        std::vector<std::uint32_t> codes;
    } cases[] = {
        {"cannot manage", false, true, 0, true, {}, {kCan}},
        {"uninstall", true, true, 0, true, {uninstall}, {kCan, kInstalled, PGM_GLOBAL_UNINSTALL_DRIVER}},
        {"install", true, false, 0, true, {install}, installCodes},
        {"answered no", true, true, 0, false, {uninstall}, {kCan, kInstalled}},
        {"install fails", true, false, 17, true, {install, failed}, installCodes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Configure([&c](fake::Config& config) {
            config.canManageDriver = c.canManage;
            config.driverInstalled = c.installed;
            config.installStatus = c.installStatus;
        });
        fake.ClearRecord();
        RecordingPrompt prompt(c.answer);
        ManageDriver(&plugin, prompt);
        EXPECT_TRUE(prompt.boxes == c.boxes);
        EXPECT_EQ(Codes(), c.codes);
    }
}

TEST_F(ManageDriverTest, TextsComeFromTheMessageTable) {
    MessageTable& table = ProcessMessageTable();
    table.Create();
    table.Store(msg::kDriverUninstalling, "Treiber entfernen");
    table.Store(msg::kAskUninstallDriver, "Treiber entfernen?");
    RecordingPrompt prompt(false);
    ManageDriver(&plugin, prompt);
    table.Free();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].caption, "Treiber entfernen");
    EXPECT_EQ(prompt.boxes[0].text, "Treiber entfernen?");
}

}  // namespace
}  // namespace tessaly
