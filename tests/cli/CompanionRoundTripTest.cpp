// The companion file is shared: what the desktop's document saves, the command line reads and changes,
// and the document reads back.
#include <fstream>
#include <string>
#include <string_view>

#include "CliTest.h"
#include "RecordingPrompt.h"
#include "document/CVardelDoc.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

const char kTemplate[] =
    "[Main, I2C8, A5]\n"
    "Serial = NUM, 1-4, 0-FFFFFFFF, DEC\n"
    "Mode = ENUM, 5.0-5.1, Off, Slow, Fast, Max\n"
    "Label = STRING, 6-F, COUNTER, 1\n"
    "[Extra, SPI]\n"
    "Flag = BIT, 20.3, No, Yes\n"
    "Note = STRING, 21-28, ASCIIZ\n";

// The document as the desktop holds it.
class DesktopDocument {
  public:
    explicit DesktopDocument(const std::string& path) : doc_(prompt_) {
        opened_ = doc_.OnOpenDocument(path, 0xFF, nullptr) == CVardelDoc::OpenResult::Opened;
    }

    bool Opened() const { return opened_; }
    CVardelDoc& Doc() { return doc_; }

    Unit& UnitNamed(std::string_view name) { return *doc_.Units()->FindByName(name); }

    static std::uint32_t ItemIndex(const Unit& unit, std::string_view name) {
        for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
            if (name == unit.GetItem(i)->name) {
                return i;
            }
        }
        return kNoItem;
    }

    bool Set(std::string_view unit, std::string_view item, std::string_view value) {
        Unit& target = UnitNamed(unit);
        return target.SetValueText(ItemIndex(target, item), value);
    }

    std::string Get(std::string_view unit, std::string_view item) {
        const Unit& target = UnitNamed(unit);
        std::string text;
        target.GetValueText(ItemIndex(target, item), text);
        return text;
    }

  private:
    RecordingPrompt prompt_;
    CVardelDoc doc_;
    bool opened_ = false;
};

class CompanionRoundTripTest : public CliTest {};

TEST_F(CompanionRoundTripTest, DesktopToCommandLineToDesktop) {
    const std::string path = WriteTemplate("shared.dev", kTemplate);
    {
        DesktopDocument desktop(path);
        ASSERT_TRUE(desktop.Opened());
        ASSERT_TRUE(desktop.Set("Main", "Serial", "4000000000"));
        ASSERT_TRUE(desktop.Set("Main", "Mode", "Slow"));
        ASSERT_TRUE(desktop.Set("Main", "Label", "desk"));
        ASSERT_TRUE(desktop.Set("Extra", "Flag", "Yes"));
        ASSERT_TRUE(desktop.Set("Extra", "Note", "kept"));
        desktop.Doc().Units()->SetCurrent(1);
    }

    // The desktop left Extra on show, so it is the command line's unit too.
    EXPECT_EQ(Run({"get", path, "Flag", "Note"}).out, "Yes\nkept\n");
    EXPECT_EQ(Run({"get", path, "--unit", "Main", "Serial", "Mode", "Label"}).out,
              "4000000000\nSlow\ndesk\n");
    ASSERT_EQ(Run({"set", path, "--unit", "Main", "Serial=4000000001", "Mode=Max", "Label=line"}).status, 0);
    const std::vector<std::uint8_t> fromCommandLine = FileBytes(directory / "shared.cfg");

    DesktopDocument desktop(path);
    ASSERT_TRUE(desktop.Opened());
    EXPECT_EQ(desktop.Doc().Units()->GetCurrent(), 1u);
    EXPECT_EQ(desktop.Get("Main", "Serial"), "4000000001");
    EXPECT_EQ(desktop.Get("Main", "Mode"), "Max");
    EXPECT_EQ(desktop.Get("Main", "Label"), "line");
    EXPECT_EQ(desktop.Get("Extra", "Flag"), "Yes");
    EXPECT_EQ(desktop.Get("Extra", "Note"), "kept");
    EXPECT_EQ(desktop.UnitNamed("Main").dataImage[0], 0xA5);
    // The command line wrote the file byte for byte as the desktop writes it.
    ASSERT_TRUE(desktop.Doc().SaveCompanionFile());
    EXPECT_EQ(FileBytes(directory / "shared.cfg"), fromCommandLine);
}

TEST_F(CompanionRoundTripTest, ATemplateWithoutCompanionStartsFromTheDesktopsFill) {
    const std::string path = WriteTemplate("fresh.dev", kTemplate);
    EXPECT_EQ(Run({"get", path, "--no-save", "Serial", "Mode"}).out, "4294967295\nMax\n");
    EXPECT_FALSE(fs::exists(directory / "fresh.cfg"));

    // A MemoryInit of 0 in the desktop's profile store fills new images with zeros on both sides.
    fs::create_directories(directory / "config" / "Halvorn");
    std::ofstream(directory / "config" / "Halvorn" / "Tessaly.conf") << "[Settings]\nMemoryInit=0\n";
    EXPECT_EQ(Run({"get", path, "Serial", "Mode"}).out, "0\nOff\n");
}

}  // namespace
}  // namespace tessaly::test
