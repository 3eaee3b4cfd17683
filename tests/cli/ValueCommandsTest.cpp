// list, get, set and dump: the items as the item list numbers them, values stored all or none, and the
// companion file the desktop shares.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "CliTest.h"
#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "document/CVardelDoc.h"

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
        path = WriteTemplate("two.dev", kTwoUnits);
        ASSERT_EQ(Run({"set", path, "Serial=BEEF", "Mode=Fast", "#3=42", "#4=7", "Label=first"}).status, 0);
        ASSERT_EQ(Run({"set", path, "--unit", "Extra", "Flag=Yes", "Note=hello"}).status, 0);
    }

    std::string path;
};

// Titles are not numbered, constants and derived fields not listed; --disable holds for that run only.
TEST_F(ValueCommandsTest, ListPrintsOneTabSeparatedLinePerNumberedItem) {
    const CliOutput output = Run({"list", path, "--disable", "Mode,#4"});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out,
              "Main\t1\t1\tSerial\tBEEF\n"
              "Main\t2\t0\tMode\tFast\n"
              "Main\t3\t1\tGain\t42\n"
              "Main\t4\t0\tGain\t7\n"
              "Main\t5\t1\tLabel\tfirst\n");
    const std::string all = Run({"list", "--all", path}).out;
    EXPECT_TRUE(all.starts_with("Main\t1\t1\tSerial\tBEEF\nMain\t2\t1\tMode\tFast\n")) << all;
    EXPECT_TRUE(all.ends_with("\tfirst\nExtra\t1\t1\tFlag\tYes\nExtra\t2\t1\tNote\thello\n")) << all;
}

TEST_F(ValueCommandsTest, GetPrintsEachValueOnALineOrNoneWhenANameIsWrong) {
    EXPECT_EQ(Run({"get", path, "Label", "#1", "Mode", "#4"}).out, "first\nBEEF\nFast\n7\n");
    for (const char* name : {"Nope", "#0", "#6", "#x", "Header", "Magic", "Sum"}) {
        const CliOutput output = Run({"get", path, "Serial", name});
        EXPECT_EQ(output.status, 2) << name;
        EXPECT_EQ(output.out, "") << name;
        EXPECT_TRUE(output.err.starts_with("tessaly-cli: unit Main has no item")) << output.err;
    }
    const CliOutput shared = Run({"get", path, "Gain"});
    EXPECT_EQ(shared.status, 2);
    EXPECT_EQ(shared.err, "tessaly-cli: items #3, #4 are all named 'Gain'; name one by its number\n");
}

TEST_F(ValueCommandsTest, SetStoresEveryValueOrNoneAndNamesTheWrongOne) {
    const std::string saved = ReadBytes(Path("two.cfg"));
    const std::pair<const char*, const char*> wrong[] = {
        {"#3=999", "tessaly-cli: #3 Gain: '999' is wrong or above the maximum (Number (decimal): 1-100)\n"},
        {"#3=0", "tessaly-cli: #3 Gain: '0' is below the minimum (Number (decimal): 1-100)\n"},
        {"Serial=XYZ", "tessaly-cli: #1 Serial: 'XYZ' is not a value this item takes"},
    };
    for (const auto& [argument, message] : wrong) {
        const CliOutput output = Run({"set", path, "Serial=1234", "Mode=Slow", argument, "Label=second"});
        EXPECT_EQ(output.status, 2) << argument;
        EXPECT_TRUE(output.err.starts_with(message)) << output.err;
        EXPECT_EQ(ReadBytes(Path("two.cfg")), saved) << argument;
    }
    EXPECT_EQ(Run({"set", path, "Serial=1234", "Mode=Slow", "#3=100", "Label=a=b"}).status, 0);
    EXPECT_EQ(Run({"get", path, "Serial", "Mode", "#3", "Label"}).out, "1234\nSlow\n100\na=b\n");
}

TEST_F(ValueCommandsTest, NoSaveLeavesTheCompanionFileUntouched) {
    const std::string saved = ReadBytes(Path("two.cfg"));
    EXPECT_EQ(Run({"set", path, "--no-save", "Serial=77"}).status, 0);
    EXPECT_EQ(Run({"list", path, "--no-save", "--all"}).status, 0);
    EXPECT_EQ(ReadBytes(Path("two.cfg")), saved);
    EXPECT_EQ(Run({"get", path, "Serial"}).out, "BEEF\n");
}

// 19 bytes from address 0x20, a line of 16 and a line of 3: the image with its constant and checksum
// prepared but not saved, and the program mask of the enabled items. Options may stand anywhere.
TEST_F(ValueCommandsTest, DumpPrintsTheImageAsProgrammedOrTheMask) {
    const std::string small = WriteTemplate("small.dev",
                                            "[Small, I2C8]\n"
                                            "Magic = STATIC, 20, 5A, A5\n"
                                            "Serial = NUM, 22-23, 0-FFFF, HEX, BENDIAN\n"
                                            "Flags = NUM, 24.0-24.3, 0-F, HEX\n"
                                            "Label = STRING, 25-31, ASCIIZ\n"
                                            "Sum = CHECKSUM, 32, 20-31, ZEROS\n");
    ASSERT_EQ(Run({"set", small, "Serial=1234", "Flags=5", "Label=AB"}).status, 0);
    const std::string saved = ReadBytes(Path("small.cfg"));
    const CliOutput image = Run({"dump", small});
    EXPECT_EQ(image.status, 0);
    EXPECT_EQ(image.out,
              "0020: 5A A5 12 34 F5 41 42 00 FF FF FF FF FF FF FF FF\n"
              "0030: FF FF B2\n");
    EXPECT_EQ(ReadBytes(Path("small.cfg")), saved);
    EXPECT_EQ(Run({"dump", small, "--mask"}).out,
              "0020: FF FF FF FF 0F FF FF FF FF FF FF FF FF FF FF FF\n"
              "0030: FF FF FF\n");
    EXPECT_EQ(Run({"--disable", "Serial,#2", "dump", small, "--mask"}).out,
              "0020: FF FF 00 00 00 FF FF FF FF FF FF FF FF FF FF FF\n"
              "0030: FF FF FF\n");
}

// The desktop's companion file is the command line's: values and the unit on show go both ways.
TEST_F(ValueCommandsTest, TheCompanionFileIsTheDesktops) {
    RecordingPrompt prompt;
    {
        CVardelDoc desktop(prompt);
        ASSERT_EQ(desktop.OnOpenDocument(path, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
        ASSERT_TRUE(desktop.Units()->GetAt(1)->SetValueText(1, "desk"));
        desktop.Units()->SetCurrent(1);
    }
    EXPECT_EQ(Run({"get", path, "Flag", "Note"}).out, "Yes\ndesk\n");
    ASSERT_EQ(Run({"set", path, "Note=line"}).status, 0);
    CVardelDoc desktop(prompt);
    ASSERT_EQ(desktop.OnOpenDocument(path, 0xFF, nullptr), CVardelDoc::OpenResult::Opened);
    std::string note;
    desktop.Units()->GetAt(1)->GetValueText(1, note);
    EXPECT_EQ(note, "line");
    EXPECT_EQ(desktop.Units()->GetCurrent(), 1u);
}

// Without a companion file the images start from the desktop's MemoryInit, read from its profile store.
TEST_F(ValueCommandsTest, ANewCompanionStartsFromTheDesktopsFill) {
    const std::string fresh = WriteTemplate("fresh.dev", kTwoUnits);
    EXPECT_EQ(Run({"get", fresh, "--no-save", "Serial", "Mode"}).out, "FFFF\nMax\n");
    EXPECT_FALSE(fs::exists(Path("fresh.cfg")));
    WriteBytes(Path("config/Halvorn/Tessaly.conf"), "[Settings]\nMemoryInit=0\n");
    EXPECT_EQ(Run({"get", fresh, "Serial", "Mode"}).out, "0\nOff\n");
}

}  // namespace
}  // namespace tessaly::test
