#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/MemoryInput.h"
#include "engine/ScriptReader.h"

namespace tessaly {
namespace {

std::vector<std::string> AllLines(const std::string& contents) {
    MemoryInput input(contents, "t.dev");
    ScriptReader reader(input);
    std::vector<std::string> lines;
    std::string_view line;
    while (!reader.EndOfInput() && reader.ReadLine(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(ReadLineTest, LastLineWithoutLineEndIsDelivered) {
    EXPECT_EQ(AllLines("[A]\r\nx=y"), (std::vector<std::string>{"[A]", "x=y"}));
}

TEST(ReadLineTest, FinalLineEndGivesNoEmptyLine) {
    MemoryInput input("[A]\r\nx=y\r\n", "t.dev");
    ScriptReader reader(input);
    std::string_view line;
    ASSERT_TRUE(reader.ReadLine(line));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "x=y");
    EXPECT_FALSE(reader.EndOfInput());
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(reader.EndOfInput());
    EXPECT_EQ(reader.LineCount(), 2u);
    EXPECT_EQ(reader.Position(), 10u);
}

TEST(ReadLineTest, TwoLineEndsAtTheEndGiveOneEmptyLine) {
    EXPECT_EQ(AllLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
}

TEST(ReadLineTest, LongLineIsCutAndEndsTheReading) {
    const std::string longLine(511, 'a');
    const auto lines = AllLines(longLine + "\r\nnext\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], longLine + "\r");
}

TEST(ReadLineTest, LineOf510CharactersStillFits) {
    const std::string line(510, 'b');
    EXPECT_EQ(AllLines(line + "\r\nnext"), (std::vector<std::string>{line, "next"}));
}

TEST(ReadLineTest, NulByteEndsTheText) {
    const auto lines = AllLines(std::string("ab\0c\r\nnext", 10));
    EXPECT_EQ(lines, (std::vector<std::string>{"ab"}));
}

TEST(ReadLineTest, LoneCrOrLfStaysInsideTheLine) {
    EXPECT_EQ(AllLines("a\rb\nc\r\nd"), (std::vector<std::string>{"a\rb\nc", "d"}));
}

class FailingInput : public TemplateInput {
  public:
    std::uint32_t Length() const override { return 100; }
    const std::string& Path() const override { return path_; }
    bool Seek(std::uint32_t) override { return false; }
    std::uint32_t Read(char*, std::uint32_t) override { return 0; }

  private:
    std::string path_ = "broken";
};

TEST(ReadLineTest, FailedReadLooksLikeTheEnd) {
    FailingInput input;
    ScriptReader reader(input);
    std::string_view line;
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(reader.EndOfInput());
    EXPECT_EQ(reader.LineCount(), 0u);
}

}  // namespace
}  // namespace tessaly
