// check loads a template as the desktop does and prints the desktop's report, byte for byte, when the
// load fails.
#include <string>

#include "CliTest.h"
#include "engine/ParseError.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

class CheckCommandTest : public CliTest {};

TEST_F(CheckCommandTest, ATemplateThatLoadsPrintsNothingAndWritesNothing) {
    const std::string board = CopyBoardExample();
    const CliOutput output = Run({"check", board});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "");
    EXPECT_FALSE(fs::exists(directory / "board.cfg"));
}

TEST_F(CheckCommandTest, AParseErrorPrintsTheDesktopsReport) {
    const std::string path =
        WriteTemplate("bad.dev", "[Board, I2C8]\nA = NUM, 0, 0-FF, HEX\nB = NUMBER, 1\n");
    std::string report;
    ASSERT_TRUE(
        FormatParseReport(static_cast<std::uint32_t>(ParseError::UnsupportedKeyword), path, 3, report));
    const CliOutput output = Run({"check", path});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, report + "\n");
}

TEST_F(CheckCommandTest, AMemoryCollisionPrintsTheDesktopsTextAndOtherCommandsReportItTheSameWay) {
    const std::string path = WriteTemplate(
        "overlap.dev", "[Board, I2C8]\nWidth = NUM, 0-1, 0-FFFF, HEX\nFlag = BIT, 1.3, Off, On\n");
    const std::string expected = std::string(GetMessageText(msg::kTemplateMemoryCollision)) +
                                 "\nBoard -> Flag (" + GetMessageText(msg::kTypeAs) + " BIT)\n";
    for (const char* command : {"check", "list"}) {
        const CliOutput output = Run({command, path});
        EXPECT_EQ(output.status, 2) << command;
        EXPECT_EQ(output.out, "") << command;
        EXPECT_EQ(output.err, expected) << command;
    }
    EXPECT_FALSE(fs::exists(directory / "overlap.cfg"));
}

}  // namespace
}  // namespace tessaly::test
