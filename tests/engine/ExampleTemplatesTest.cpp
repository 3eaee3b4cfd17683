#include <gtest/gtest.h>

#include <string>

#include "TestTemplates.h"

namespace tessaly {
namespace {

class ExampleTemplatesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ExampleTemplatesTest, LoadsWithoutCollisionsAndPreparesInsideItsImages) {
    const std::string script = test::ExampleScript(GetParam());
    ASSERT_FALSE(script.empty()) << GetParam();
    test::ImagedTemplate t = test::ImageScript(script, 0xFF);
    ASSERT_EQ(t.parsed.error, ParseError::None) << t.parsed.report;
    for (std::uint32_t u = 0; u < t.parsed.units->count; ++u) {
        Unit& unit = t.UnitAt(u);
        EXPECT_EQ(unit.CheckCollisions(), kNoItem) << unit.name;
        unit.PrepareDerivedFields();
    }
    EXPECT_TRUE(t.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTemplatesTest,
                         ::testing::Values("board-24c02.dev", "ddr3-spd.dev"));

}  // namespace
}  // namespace tessaly
