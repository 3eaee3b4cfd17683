// list, get and set: the items as the item list numbers them, and values stored all or none.
#include <string>
#include <utility>
#include <vector>

#include "CliTest.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

const char kTwoUnits[] =
    "[Main, I2C8]\n"
    "Header = TITLE, 1\n"
    "Magic = STATIC, 0, 5A\n"
    "Serial = NUM, 1-2, 0-FFFF, HEX\n"
    "Mode = ENUM, 3.0-3.1, Off, Slow, Fast, Max\n"
    "Gain = NUM, 4, 1-64, DEC\n"
    "Gain = NUM, 5, 0-FF, DEC\n"
    "Label = STRING, 6-D, ASCIIZ\n"
    "Sum = CHECKSUM, F, 0-E, ZEROS\n"
    "[Extra, SPI]\n"
    "Flag = BIT, 10.0, No, Yes\n"
    "Note = STRING, 11-18, COUNTER, 1\n";

class ValueCommandsTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        path = WriteTemplate("two.dev", kTwoUnits);
        ASSERT_EQ(Run({"set", path, "Serial=BEEF", "Mode=Fast", "#3=42", "#4=7", "Label=first"}).status, 0);
        ASSERT_EQ(Run({"set", path, "--unit", "Extra", "Flag=Yes", "Note=hello"}).status, 0);
    }

    std::string path;
};

TEST_F(ValueCommandsTest, ListPrintsOneTabSeparatedLinePerNumberedItem) {
    const CliOutput output = Run({"list", path});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out,
              "Main\t1\t1\tSerial\tBEEF\n"
              "Main\t2\t1\tMode\tFast\n"
              "Main\t3\t1\tGain\t42\n"
              "Main\t4\t1\tGain\t7\n"
              "Main\t5\t1\tLabel\tfirst\n");
    // --all covers every unit in template order.
    const std::vector<std::string> all = Lines(Run({"list", "--all", path}).out);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0], "Main\t1\t1\tSerial\tBEEF");
    EXPECT_EQ(all[5], "Extra\t1\t1\tFlag\tYes");
    EXPECT_EQ(all[6], "Extra\t2\t1\tNote\thello");
}

TEST_F(ValueCommandsTest, DisabledItemsShowAsDisabledForThatRunOnly) {
    const std::vector<std::string> lines = Lines(Run({"list", path, "--disable", "Mode,#4"}).out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Main\t2\t0\tMode\tFast");
    EXPECT_EQ(lines[3], "Main\t4\t0\tGain\t7");
    EXPECT_EQ(Lines(Run({"list", path}).out)[1], "Main\t2\t1\tMode\tFast");
    EXPECT_EQ(Run({"list", path, "--disable", "Nope"}).status, 2);
}

TEST_F(ValueCommandsTest, UnitOptionChoosesTheUnitAndAnUnknownUnitIsAnError) {
    EXPECT_EQ(Run({"get", path, "--unit", "Extra", "Note", "Flag"}).out, "hello\nYes\n");
    const CliOutput output = Run({"list", path, "--unit", "Nowhere"});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.out, "");
    EXPECT_NE(output.err.find("no unit named 'Nowhere'"), std::string::npos) << output.err;
}

TEST_F(ValueCommandsTest, GetPrintsEachValueOnALineByNameOrRunningNumber) {
    const CliOutput output = Run({"get", path, "Label", "#1", "Mode", "#4"});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.out, "first\nBEEF\nFast\n7\n");
}

TEST_F(ValueCommandsTest, GetWithAWrongNamePrintsNoValues) {
    for (const char* name : {"Nope", "#0", "#6", "#x", "Header", "Magic", "Sum"}) {
        const CliOutput output = Run({"get", path, "Serial", name});
        EXPECT_EQ(output.status, 2) << name;
        EXPECT_EQ(output.out, "") << name;
        EXPECT_TRUE(output.err.starts_with("tessaly-cli: unit Main has no item")) << output.err;
    }
}

TEST_F(ValueCommandsTest, ANameSeveralItemsShareIsAnErrorListingTheirNumbers) {
    const CliOutput output = Run({"get", path, "Gain"});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "tessaly-cli: items #3, #4 are all named 'Gain'; name one by its number\n");
    EXPECT_EQ(Run({"set", path, "Gain=9"}).status, 2);
}

TEST_F(ValueCommandsTest, SetStoresEveryValueOrNone) {
    const std::vector<std::uint8_t> saved = FileBytes(directory / "two.cfg");
    const CliOutput output = Run({"set", path, "Serial=1234", "Mode=Slow", "#3=999", "Label=second"});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.err,
              "tessaly-cli: #3 Gain: '999' is wrong or above the maximum (Number (decimal): 1-100)\n");
    EXPECT_EQ(FileBytes(directory / "two.cfg"), saved);
    EXPECT_EQ(Run({"get", path, "Serial", "Mode", "#3", "Label"}).out, "BEEF\nFast\n42\nfirst\n");

    EXPECT_EQ(Run({"set", path, "Serial=1234", "Mode=Slow", "#3=100", "Label=a=b"}).status, 0);
    EXPECT_EQ(Run({"get", path, "Serial", "Mode", "#3", "Label"}).out, "1234\nSlow\n100\na=b\n");
}

TEST_F(ValueCommandsTest, SetNamesEachKindOfWrongValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"#3=0", "'0' is below the minimum"},
        {"Mode=Fastest", "'Fastest' is wrong"},
        {"Serial=XYZ", "'XYZ' is not a value this item takes"},
        {"Label=far too long", "'far too long' is wrong"},
        {"Serial", "tessaly-cli: set takes NAME=VALUE, not 'Serial'\n"},
    };
    for (const auto& [argument, message] : cases) {
        EXPECT_NE(Run({"set", path, argument}).err.find(message), std::string::npos) << argument;
    }
}

// A long value is quoted by its first 60 characters (whole UTF-8 sequences) and its length, so that the
// message stays one readable line.
TEST_F(ValueCommandsTest, ALongValueIsQuotedShortenedWithItsLength) {
    const std::string x60(60, 'x');
    std::string e60;
    for (int i = 0; i < 60; ++i) {
        e60 += "\xC3\xA9";
    }
    const std::pair<std::string, std::string> cases[] = {
        {x60, "'" + x60 + "'"},
        {e60, "'" + e60 + "'"},
        {x60 + "y", "'" + x60 + "...' (61 bytes)"},
        {std::string(59, 'x') + "\xC3\xA9yy", "'" + std::string(59, 'x') + "\xC3\xA9...' (63 bytes)"},
        {std::string(100000, 'x'), "'" + x60 + "...' (100000 bytes)"},
    };
    for (const auto& [value, quote] : cases) {
        const CliOutput output = Run({"set", path, "Label=" + value});
        EXPECT_EQ(output.status, 2);
        EXPECT_TRUE(
            output.err.starts_with("tessaly-cli: #5 Label: " + quote + " is wrong or above the maximum"))
            << output.err.substr(0, 200);
        EXPECT_EQ(output.err.find('\n'), output.err.size() - 1);
    }
}

TEST_F(ValueCommandsTest, NoSaveLeavesTheCompanionFileUntouched) {
    const fs::path companion = directory / "two.cfg";
    const std::vector<std::uint8_t> saved = FileBytes(companion);
    const auto written = fs::last_write_time(companion);
    EXPECT_EQ(Run({"set", path, "--no-save", "Serial=77"}).status, 0);
    EXPECT_EQ(Run({"list", path, "--no-save", "--all"}).status, 0);
    EXPECT_EQ(FileBytes(companion), saved);
    EXPECT_EQ(fs::last_write_time(companion), written);
    EXPECT_EQ(Run({"get", path, "Serial"}).out, "BEEF\n");
}

}  // namespace
}  // namespace tessaly::test
