#include "text/LanguageList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "text/BuiltInMessage.h"
#include "text/LanguageDirectories.h"
#include "text/MessageId.h"

namespace tessaly {
namespace {

class LanguageListTest : public ::testing::Test {
  protected:
    // Writes a language file with a "Language" section made of the given lines.
    void WriteLanguage(std::string_view fileName, std::string_view lines) {
        directory_.Write(fileName, "[Language]\n" + std::string(lines));
    }

    void Load() { languages_.Load({directory_.Path()}); }

    // Expects every message to hold its built-in text but those given.
    void ExpectTexts(const std::map<std::uint16_t, std::string>& translated = {}) const {
        for (std::uint16_t m = 0; m < kMessageCount; ++m) {
            const auto it = translated.find(m);
            EXPECT_EQ(table_.Text(m), it == translated.end() ? kBuiltInMessages[m].english : it->second)
                << "message " << m;
        }
    }

    test::TempDirectory directory_;
    MessageTable table_;
    LanguageList languages_{table_};
};

// English comes first, then every regular file named *.lng in any case, sorted, as they were at the last
// Load. Names are case-sensitive and trimmed; a file without both names is listed but never selectable, a
// name longer than the buffer is cut before it is split, and of equal names the first wins.
TEST_F(LanguageListTest, ListsEnglishAndTheLanguageFilesOfTheLastLoad) {
    languages_.Load({directory_.Path() / "missing"});
    EXPECT_EQ(languages_.Count(), 1u);
    EXPECT_EQ(languages_.Entry(1), nullptr);
    const struct {
        const char* file;
        std::string lines;
        std::string name;
        std::string displayName;
    } files[] = {
        {"A.LNG", "Language=A, B ,C\n", "A", "B"},
        {"b.lng", "Language= , Blank\n", "", "Blank"},
        {"c.Lng", "Language=Deutsch\n", "", ""},
        {"d.lng", "Language=Name," + std::string(200, 'D') + "\n", "Name",
         std::string(LanguageList::kValueBufferSize - 6, 'D')},
        {"e.lng", "Language=English,English\n", "English", "English"},
        {"f.lng", "Language=A,Second\n", "A", "Second"},
    };
    for (const auto& f : files) {
        WriteLanguage(f.file, f.lines);
    }
    for (const char* name : {"notes.txt", "g.lng.bak", "lng", "x.lngx"}) {
        WriteLanguage(name, "Language=Other,Other\n");
    }
    std::filesystem::create_directory(directory_.Path() / "h.lng");
    EXPECT_EQ(languages_.Find("A"), -1);
    Load();
    ASSERT_EQ(languages_.Count(), std::size(files) + 1);
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const LanguageEntry* entry = languages_.Entry(i + 1);
        EXPECT_EQ(entry->fileName, files[i].file);
        EXPECT_EQ(entry->name, files[i].name) << i;
        EXPECT_EQ(entry->displayName, files[i].displayName) << i;
        EXPECT_EQ(entry->hasNames, !files[i].displayName.empty()) << i;
    }
    EXPECT_EQ(languages_.Find("A"), 1);
    EXPECT_EQ(languages_.FindByDisplayName("B"), 1);
    EXPECT_EQ(languages_.Find("a"), -1);
    EXPECT_EQ(languages_.Find(""), 2);
    EXPECT_EQ(languages_.FindByDisplayName(""), -1);
    EXPECT_EQ(languages_.Find("English"), 0);
    std::string name;
    EXPECT_TRUE(languages_.GetLanguageName("B", name));
    EXPECT_FALSE(languages_.GetLanguageName("A", name));
    EXPECT_EQ(name, "A");
}

// Each switch replaces every text: by the file's text for its key (escapes undone, cut to 127 bytes, up to
// a zero byte) or else the built-in one. A file gone since the listing gives the English texts.
TEST_F(LanguageListTest, SwitchingReplacesEveryText) {
    using namespace std::string_literals;
    WriteLanguage("a.lng",
                  "Language=Deutsch,German\nMsg[0-1]=Tessaly %d\nMsg[2-2]=Keiner\nMsg[10-9]=Erweiterung\n"
                  "Msg[1-4]=\\tTab\\rR\\n\nMsg[1-5]=" +
                      std::string(200, 'y') +
                      "\nMsg[1-2]=Rumpf\0ist leer\nMsg[1-\xFF"
                      "3]=wrong key\n"s);
    WriteLanguage("b.lng", "Language=Francais,French\nMsg[1-2]=titre introuvable\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    ExpectTexts({{msg::kAboutVersion, "Tessaly %d"},
                 {msg::kNone, "Keiner"},
                 {msg::kLabelPlugIn, "Erweiterung"},
                 {msg::kNameAlreadyExists, "\tTab\rR\n"},
                 {msg::kBodyIsEmpty, std::string(127, 'y')},
                 {msg::kTitleNotFound, "Rumpf"}});
    ASSERT_TRUE(languages_.SetLanguage("Francais"));
    ExpectTexts({{msg::kTitleNotFound, "titre introuvable"}});
    EXPECT_FALSE(languages_.SetLanguage("Klingon"));
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "titre introuvable");
    std::filesystem::remove(directory_.Path() / "b.lng");
    EXPECT_TRUE(languages_.SetLanguage("Francais"));
    ExpectTexts();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    ASSERT_TRUE(languages_.SetLanguage("English"));
    ExpectTexts();
    languages_.Free();
    EXPECT_EQ(languages_.Count(), 0u);
    EXPECT_FALSE(languages_.SetLanguage("English"));
    EXPECT_EQ(table_.Text(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
}

// The process-wide functions work on one list over the process's message table: the working directory's
// files first, then those the build copies beside the executable (this test's executable is built beside
// the programs, so LanguageDirectories() finds them), where German is found again.
TEST_F(LanguageListTest, ProcessLanguagesComeFromTheWorkingDirectoryFirstThenFromBesideTheProgram) {
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    {
        test::ScopedWorkingDirectory inside(directory_.Path());
        LoadLanguageList(LanguageDirectories());
    }
    ASSERT_EQ(GetLanguageCount(), 4u);
    EXPECT_EQ(GetLanguageEntry(1)->fileName, "de.lng");
    EXPECT_EQ(GetLanguageEntry(2)->fileName, "Deutsch.lng");
    EXPECT_EQ(FindLanguage("Deutsch"), FindLanguageByDisplayName("German"));
    std::string name;
    ASSERT_TRUE(GetLanguageName("German", name));
    ASSERT_TRUE(SetLanguage(name));
    EXPECT_STREQ(GetMessageText(msg::kBodyIsEmpty), "Rumpf ist leer");
    FreeLanguages();
    EXPECT_EQ(GetLanguageCount(), 0u);
    EXPECT_EQ(GetMessageText(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
}

// Directory by directory, each sorted in itself; a file name already listed is not listed again, so its
// names and texts come from the first directory that has it.
TEST_F(LanguageListTest, DirectoriesAreListedInOrderAndTheFirstFileOfANameWins) {
    const std::filesystem::path root = directory_.Path();
    directory_.Write("first/x.lng", "[Language]\nLanguage=Deutsch,German\nMsg[1-5]=first x\n");
    directory_.Write("second/x.lng", "[Language]\nLanguage=Hidden,Hidden\nMsg[1-5]=second x\n");
    directory_.Write("second/w.lng", "[Language]\nLanguage=Francais,French\nMsg[1-5]=second w\n");
    directory_.Write("third/w.lng", "[Language]\nLanguage=Francais,French\nMsg[1-5]=third w\n");
    directory_.Write("third/a.lng", "[Language]\nLanguage=Italiano,Italian\nMsg[1-5]=third a\n");
    directory_.Write("third/X.lng", "[Language]\nLanguage=Other,Other\nMsg[1-5]=third X\n");
    languages_.Load({root / "first", root / "missing", root / "second", root / "third"});

    const struct {
        const char* file;
        const char* name;
        const char* text;
    } expected[] = {{"x.lng", "Deutsch", "first x"},
                    {"w.lng", "Francais", "second w"},
                    {"X.lng", "Other", "third X"},
                    {"a.lng", "Italiano", "third a"}};
    ASSERT_EQ(languages_.Count(), std::size(expected) + 1);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(languages_.Entry(i + 1)->fileName, expected[i].file);
        EXPECT_EQ(languages_.Find(expected[i].name), static_cast<int>(i + 1)) << expected[i].name;
        ASSERT_TRUE(languages_.SetLanguage(expected[i].name));
        EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), expected[i].text);
    }
    EXPECT_EQ(languages_.Entry(1)->directory, root / "first");
    EXPECT_EQ(languages_.Find("Hidden"), -1);
}

}  // namespace
}  // namespace tessaly
