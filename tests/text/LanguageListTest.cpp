#include "text/LanguageList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "text/BuiltInMessage.h"
#include "text/MessageId.h"
#include "text/ProfileFile.h"

namespace tessaly {
namespace {

class LanguageListTest : public ::testing::Test {
  protected:
    // Writes a language file with a "Language" section made of the given lines.
    void WriteLanguage(std::string_view fileName, std::string_view lines) {
        directory_.Write(fileName, "[Language]\n" + std::string(lines));
    }

    void Load() { languages_.Load({directory_.Path()}); }

    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (std::size_t i = 1; i < languages_.Count(); ++i) {
            names.push_back(languages_.Entry(i)->fileName);
        }
        return names;
    }

    void ExpectBuiltInTexts() const {
        for (std::uint16_t m = 0; m < kMessageCount; ++m) {
            EXPECT_STREQ(table_.Text(m), kBuiltInMessages[m].english) << "message " << m;
        }
    }

    test::TempDirectory directory_;
    MessageTable table_;
    LanguageList languages_{table_};
};

TEST_F(LanguageListTest, WithoutLanguageFilesOnlyEnglishIsListed) {
    directory_.Write("readme.txt", "[Language]\nLanguage=Deutsch,German\n");
    Load();
    ASSERT_EQ(languages_.Count(), 1u);
    const LanguageEntry* english = languages_.Entry(0);
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(english->fileName, "");
    EXPECT_EQ(english->name, "English");
    EXPECT_EQ(english->displayName, "English");
    EXPECT_EQ(languages_.Entry(1), nullptr);
    EXPECT_FALSE(languages_.SetLanguage("Deutsch"));
    EXPECT_TRUE(languages_.SetLanguage("English"));
    ExpectBuiltInTexts();
    EXPECT_NE(table_.Text(5), kBuiltInMessages[5].english) << "the table holds copies";
}

TEST_F(LanguageListTest, MissingDirectoryListsOnlyEnglishAndTheListIsFixedUntilTheNextLoad) {
    languages_.Load({directory_.Path() / "missing"});
    EXPECT_EQ(languages_.Count(), 1u);
    EXPECT_TRUE(languages_.SetLanguage("English"));
    WriteLanguage("de.lng", "Language=Deutsch,German\n");
    EXPECT_EQ(languages_.Find("Deutsch"), -1);
    Load();
    EXPECT_EQ(languages_.Find("Deutsch"), 1);
}

TEST_F(LanguageListTest, LanguageFilesAreMatchedInAnyCaseAndSortedByName) {
    for (const char* name : {"c.Lng", "b.lng", "A.LNG", "notes.txt", "d.lng.bak", "lng", "x.lngx"}) {
        directory_.Write(name, "");
    }
    std::filesystem::create_directory(directory_.Path() / "e.lng");
    Load();
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"A.LNG", "b.lng", "c.Lng"}));
}

// Directory by directory, each sorted in itself; a file name already listed is not listed again, so its
// names and texts come from the first directory that has it.
TEST_F(LanguageListTest, DirectoriesAreListedInOrderAndTheFirstFileOfANameWins) {
    const std::filesystem::path root = directory_.Path();
    for (const char* name : {"first", "second", "third"}) {
        std::filesystem::create_directory(root / name);
    }
    directory_.Write("first/x.lng", "[Language]\nLanguage=Deutsch,German\nMsg[1-5]=first x\n");
    directory_.Write("second/x.lng", "[Language]\nLanguage=Hidden,Hidden\nMsg[1-5]=second x\n");
    directory_.Write("second/w.lng", "[Language]\nLanguage=Francais,French\nMsg[1-5]=second w\n");
    directory_.Write("third/w.lng", "[Language]\nLanguage=Francais,French\nMsg[1-5]=third w\n");
    directory_.Write("third/a.lng", "[Language]\nLanguage=Italiano,Italian\nMsg[1-5]=third a\n");
    directory_.Write("third/X.lng", "[Language]\nLanguage=Other,Other\nMsg[1-5]=third X\n");
    languages_.Load({root / "first", root / "missing", root / "second", root / "third"});

    EXPECT_EQ(FileNames(), (std::vector<std::string>{"x.lng", "w.lng", "X.lng", "a.lng"}));
    const std::pair<std::string, std::string> expected[] = {
        {"Deutsch", "first x"}, {"Francais", "second w"}, {"Other", "third X"}, {"Italiano", "third a"}};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [name, text] = expected[i];
        EXPECT_EQ(languages_.Find(name), static_cast<int>(i + 1)) << name;
        ASSERT_TRUE(languages_.SetLanguage(name));
        EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), text.c_str());
    }
    EXPECT_EQ(languages_.Entry(1)->directory, root / "first");
    EXPECT_EQ(languages_.Find("Hidden"), -1);
}

TEST_F(LanguageListTest, NamesComeFromTheLanguageKeyAndAreCaseSensitive) {
    WriteLanguage("x.lng", "Language=A, B ,C\n");
    WriteLanguage("y.lng", "Language= , Blank\n");
    Load();
    ASSERT_EQ(languages_.Count(), 3u);
    const LanguageEntry* entry = languages_.Entry(1);
    EXPECT_EQ(entry->fileName, "x.lng");
    EXPECT_EQ(entry->name, "A");
    EXPECT_EQ(entry->displayName, "B");
    EXPECT_TRUE(entry->hasNames);
    EXPECT_EQ(languages_.Find("A"), 1);
    EXPECT_EQ(languages_.FindByDisplayName("B"), 1);
    EXPECT_EQ(languages_.Find("C"), -1);
    EXPECT_EQ(languages_.Find("a"), -1);
    EXPECT_EQ(languages_.FindByDisplayName("b"), -1);
    EXPECT_FALSE(languages_.SetLanguage("english"));
    // Empty names are still names.
    EXPECT_EQ(languages_.Find(""), 2);
    EXPECT_EQ(languages_.FindByDisplayName("Blank"), 2);
}

struct Translation {
    const char* what;
    std::string file;
    std::map<std::uint16_t, std::string> texts;  // every other message keeps its English text
};

std::vector<Translation> Translations() {
    using namespace std::string_literals;
    const std::string names = "[Language]\nLanguage=Deutsch,German\n";
    const std::string longLine(100 * 1024, 'x');
    std::string mebibyte = names + "Msg[1-5]=early\n";
    mebibyte.append(ProfileFile::kMaxFileBytes, ';');
    mebibyte += "\nMsg[1-2]=late\n";
    return {
        {"section and key names follow the profile rules",
         "[language]\r\n  LANGUAGE = \"Deutsch,German\" \r\nmsg[1-5]=Rumpf ist leer\r\n",
         {{msg::kBodyIsEmpty, "Rumpf ist leer"}}},
        {"keys of other sections are not read", "[Other]\nMsg[1-5]=wrong\n" + names, {}},
        {"every message, English for missing keys",
         names + "Msg[0-1]=Tessaly %d.%d.%d\nMsg[2-2]=Keiner\nMsg[10-9]=Erweiterung\n",
         {{msg::kAboutVersion, "Tessaly %d.%d.%d"},
          {msg::kNone, "Keiner"},
          {msg::kLabelPlugIn, "Erweiterung"}}},
        {"escapes",
         names + "Msg[1-2]=erste Zeile\\nzweite Zeile\nMsg[1-3]=a\\\\nb\nMsg[1-4]=\\tTab\\rReturn\n",
         {{msg::kTitleNotFound, "erste Zeile\nzweite Zeile"},
          {msg::kWrongTitleSyntax, "a\\\nb"},
          {msg::kNameAlreadyExists, "\tTab\rReturn"}}},
        {"a long text is cut to 127 bytes",
         names + "Msg[1-5]=" + std::string(200, 'y') + "\n",
         {{msg::kBodyIsEmpty, std::string(127, 'y')}}},
        {"texts keep their bytes up to a zero byte",
         names + "Msg[1-5]=Rumpf\0ist leer\nMsg[1-2]=\xFF\xFE titre \xC3\x28\xE2\x82\n"
                 "\0\xFF\x80 no entry at all\nMsg[1-\xFF"
                 "3]=wrong key\n"s,
         {{msg::kBodyIsEmpty, "Rumpf"}, {msg::kTitleNotFound, "\xFF\xFE titre \xC3\x28\xE2\x82"}}},
        {"texts after a hundred kilobyte line are read",
         names + longLine + "\nMsg[1-5]=Rumpf ist leer\nMsg[1-2]=" + longLine + "\nMsg[1-3]=danach\n",
         {{msg::kBodyIsEmpty, "Rumpf ist leer"},
          {msg::kTitleNotFound, longLine.substr(0, 127)},
          {msg::kWrongTitleSyntax, "danach"}}},
        {"only the first mebibyte is read", mebibyte, {{msg::kBodyIsEmpty, "early"}}},
    };
}

TEST_F(LanguageListTest, TranslationsAreReadByTheProfileRules) {
    for (const Translation& t : Translations()) {
        SCOPED_TRACE(t.what);
        directory_.Write("de.lng", t.file);
        Load();
        ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
        for (std::uint16_t m = 0; m < kMessageCount; ++m) {
            const auto translated = t.texts.find(m);
            EXPECT_EQ(table_.Text(m),
                      translated == t.texts.end() ? kBuiltInMessages[m].english : translated->second)
                << "message " << m;
        }
    }
}

TEST_F(LanguageListTest, FilesWithoutBothNamesAreListedButNeverSelectable) {
    WriteLanguage("a.lng", "Language=Deutsch\n");
    WriteLanguage("b.lng", "Msg[1-5]=x\n");
    directory_.Write("c.lng", "no section at all");
    Load();
    ASSERT_EQ(languages_.Count(), 4u);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_FALSE(languages_.Entry(i)->hasNames);
        EXPECT_EQ(languages_.Entry(i)->name, "");
    }
    EXPECT_EQ(languages_.Find("Deutsch"), -1);
    EXPECT_EQ(languages_.Find(""), -1);
    EXPECT_EQ(languages_.FindByDisplayName(""), -1);
    EXPECT_FALSE(languages_.SetLanguage(""));
}

TEST_F(LanguageListTest, NamesLongerThanTheBufferAreCutBeforeSplitting) {
    WriteLanguage("a.lng", "Language=Name," + std::string(200, 'D') + "\n");
    Load();
    EXPECT_EQ(languages_.Entry(1)->displayName, std::string(LanguageList::kValueBufferSize - 1 - 5, 'D'));
}

TEST_F(LanguageListTest, TheBuiltInEnglishAndTheFirstOfTwoEqualNamesWin) {
    WriteLanguage("a.lng", "Language=Deutsch,German\nMsg[1-5]=from a\n");
    WriteLanguage("b.lng", "Language=Deutsch,German\nMsg[1-5]=from b\n");
    WriteLanguage("fake.lng", "Language=English,English\nMsg[1-5]=fake\n");
    Load();
    EXPECT_EQ(languages_.Find("Deutsch"), 1);
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "from a");
    EXPECT_EQ(languages_.Find("English"), 0);
    EXPECT_EQ(languages_.FindByDisplayName("English"), 0);
    ASSERT_TRUE(languages_.SetLanguage("English"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "body is empty");
}

TEST_F(LanguageListTest, SwitchingNeverMixesLanguages) {
    WriteLanguage("a.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    WriteLanguage("b.lng", "Language=Francais,French\nMsg[1-2]=titre introuvable\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
    ASSERT_TRUE(languages_.SetLanguage("Francais"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "body is empty");
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "titre introuvable");
    EXPECT_FALSE(languages_.SetLanguage("Klingon"));
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "titre introuvable");
    ASSERT_TRUE(languages_.SetLanguage("English"));
    ExpectBuiltInTexts();
}

TEST_F(LanguageListTest, FileRemovedAfterListingGivesTheEnglishTexts) {
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    std::filesystem::remove(directory_.Path() / "de.lng");
    EXPECT_TRUE(languages_.SetLanguage("Deutsch"));
    ExpectBuiltInTexts();
}

TEST_F(LanguageListTest, GetLanguageNameMapsDisplayNameToName) {
    WriteLanguage("de.lng", "Language=Deutsch,German\n");
    Load();
    std::string name = "before";
    EXPECT_TRUE(languages_.GetLanguageName("German", name));
    EXPECT_EQ(name, "Deutsch");
    EXPECT_FALSE(languages_.GetLanguageName("Deutsch", name));
    EXPECT_EQ(name, "Deutsch");
    EXPECT_FALSE(languages_.GetLanguageName("Klingon", name));
    EXPECT_EQ(name, "Deutsch");
}

TEST_F(LanguageListTest, FreeEmptiesListAndTable) {
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    languages_.Free();
    EXPECT_EQ(languages_.Count(), 0u);
    EXPECT_EQ(languages_.Entry(0), nullptr);
    EXPECT_FALSE(languages_.SetLanguage("English"));
    EXPECT_EQ(table_.Text(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
}

TEST_F(LanguageListTest, ArbitraryBytesInLanguageFilesAreHarmless) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int file = 0; file < 20; ++file) {
        std::string text = "[Language]\nLanguage=Name" + std::to_string(file) + ",Shown\n";
        for (int i = 0; i < 4000; ++i) {
            text += static_cast<char>(byte(random));
        }
        directory_.Write("f" + std::to_string(file) + ".lng", text);
    }
    Load();
    ASSERT_EQ(languages_.Count(), 21u);
    for (int file = 0; file < 20; ++file) {
        ASSERT_TRUE(languages_.SetLanguage("Name" + std::to_string(file)));
        for (std::uint16_t m = 0; m < kMessageCount; ++m) {
            EXPECT_LT(std::string_view(table_.Text(m)).size(), LanguageList::kValueBufferSize);
        }
    }
}

TEST_F(LanguageListTest, TruncatedFilesGiveEnglishForWhatIsCutOff) {
    WriteLanguage("a.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\nMsg[1-2]=Tit");
    WriteLanguage("b.lng", "Language=Francais,French\nMsg[1-5]=corps vide\nMsg[1-");
    WriteLanguage("c.lng", "Language=Italiano");
    directory_.Write("d.lng", "[Langu");
    Load();
    ASSERT_EQ(languages_.Count(), 5u);
    EXPECT_FALSE(languages_.Entry(3)->hasNames);
    EXPECT_FALSE(languages_.Entry(4)->hasNames);
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "Tit");
    ASSERT_TRUE(languages_.SetLanguage("Francais"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "corps vide");
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), kBuiltInMessages[msg::kTitleNotFound].english);
}

}  // namespace
}  // namespace tessaly
