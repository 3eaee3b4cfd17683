// The sample templates ship with a companion file of values, so that a new user can program a chip at once:
// copied anywhere together, the template finds its companion and every enabled item holds a valid value.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ScriptedPrompt.h"
#include "document/CVardelDoc.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

fs::path ExamplesDirectory() {
    const char* source = std::getenv("TESSALY_SOURCE_DIR");
    return fs::path(source != nullptr ? source : TESSALY_SOURCE_DIR) / "examples";
}

class ExampleValuesTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("tessaly-examples-" + std::to_string(getpid()));
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    // The template and its companion copied as scripts/run.sh copies them; returns the template's copy.
    std::string CopyExample() const {
        const fs::path source = ExamplesDirectory() / GetParam();
        const fs::path companion = fs::path(CVardelDoc::CompanionPathOf(CVardelDoc::MakeBasePath(source)));
        fs::copy_file(source, directory / source.filename());
        fs::copy_file(companion, directory / companion.filename());
        return (directory / source.filename()).string();
    }

    fs::path directory;
};

TEST_P(ExampleValuesTest, EveryEnabledItemOfTheCopiedExampleHoldsAValidValue) {
    test::ScriptedPrompt prompt;
    CVardelDoc doc(prompt);
    doc.SetSavesOnClose(false);
    ASSERT_EQ(doc.OnOpenDocument(CopyExample(), 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_TRUE(prompt.errors.empty());
    for (std::uint32_t u = 0; u < doc.GetUnitCount(); ++u) {
        const Unit& unit = *doc.Units()->GetAt(u);
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            const TemplateItem* item = unit.GetItem(i);
            if (!unit.IsListedItem(i) || item->kind == ItemKind::Title || item->enabled == 0) {
                continue;
            }
            std::string text;
            ASSERT_TRUE(unit.GetValueText(i, text)) << item->name;
            EXPECT_EQ(unit.ValidateValueText(i, text), ValueCheck::Valid) << item->name << " = " << text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleValuesTest, ::testing::Values("board-24c02.dev", "ddr3-spd.dev"));

}  // namespace
}  // namespace tessaly
