// The sample templates ship with a companion file of values, so that a new user can program a chip at once:
// copied anywhere together, the template finds its companion and every enabled item holds a valid value.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "document/CVardelDoc.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

class ExampleValuesTest : public ::testing::TestWithParam<const char*> {
  protected:
    // The template and its companion copied as scripts/run.sh copies them; returns the template's copy.
    std::string CopyExample() const {
        const fs::path source = test::ExamplePath(GetParam());
        const fs::path companion = fs::path(CVardelDoc::CompanionPathOf(CVardelDoc::MakeBasePath(source)));
        fs::copy_file(source, directory.Path() / source.filename());
        fs::copy_file(companion, directory.Path() / companion.filename());
        return (directory.Path() / source.filename()).string();
    }

    test::TempDirectory directory;
};

TEST_P(ExampleValuesTest, EveryEnabledItemOfTheCopiedExampleHoldsAValidValue) {
    test::RecordingPrompt prompt;
    CVardelDoc doc(prompt);
    doc.SetSavesOnClose(false);
    ASSERT_EQ(doc.OnOpenDocument(CopyExample(), 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
    EXPECT_TRUE(prompt.Errors().empty());
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
