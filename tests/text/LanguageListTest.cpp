#include "text/LanguageList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
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

    void Load() { languages_.Load(directory_.Path()); }

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
}

TEST_F(LanguageListTest, LoadFillsTheTableWithBuiltInTexts) {
    Load();
    ExpectBuiltInTexts();
    EXPECT_NE(table_.Text(5), kBuiltInMessages[5].english);
}

TEST_F(LanguageListTest, LanguageFilesAreMatchedInAnyCaseAndSortedByName) {
    for (const char* name : {"c.Lng", "b.lng", "A.LNG", "notes.txt", "d.lng.bak", "lng", "x.lngx"}) {
        directory_.Write(name, "");
    }
    std::filesystem::create_directory(directory_.Path() / "e.lng");
    Load();
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"A.LNG", "b.lng", "c.Lng"}));
}

TEST_F(LanguageListTest, NamesComeFromTheLanguageKey) {
    WriteLanguage("x.lng", "Language=A, B ,C\n");
    Load();
    ASSERT_EQ(languages_.Count(), 2u);
    const LanguageEntry* entry = languages_.Entry(1);
    EXPECT_EQ(entry->fileName, "x.lng");
    EXPECT_EQ(entry->name, "A");
    EXPECT_EQ(entry->displayName, "B");
    EXPECT_TRUE(entry->hasNames);
    EXPECT_EQ(languages_.Find("A"), 1);
    EXPECT_EQ(languages_.FindByDisplayName("B"), 1);
    EXPECT_EQ(languages_.Find("C"), -1);
}

TEST_F(LanguageListTest, SectionAndKeyNamesFollowTheProfileRules) {
    directory_.Write("x.lng",
                     "[language]\r\n  LANGUAGE = \"Deutsch,German\" \r\nmsg[1-5]=Rumpf ist leer\r\n");
    Load();
    ASSERT_EQ(languages_.Find("Deutsch"), 1);
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
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

TEST_F(LanguageListTest, EmptyNamesAreStillNames) {
    WriteLanguage("a.lng", "Language= , Blank\n");
    Load();
    EXPECT_EQ(languages_.Find(""), 1);
    EXPECT_EQ(languages_.FindByDisplayName("Blank"), 1);
}

TEST_F(LanguageListTest, NamesLongerThanTheBufferAreCutBeforeSplitting) {
    WriteLanguage("a.lng", "Language=Name," + std::string(200, 'D') + "\n");
    Load();
    EXPECT_EQ(languages_.Entry(1)->displayName, std::string(LanguageList::kValueBufferSize - 1 - 5, 'D'));
}

TEST_F(LanguageListTest, AFileCallingItselfEnglishIsNeverSelected) {
    WriteLanguage("fake.lng", "Language=English,English\nMsg[1-5]=fake\n");
    Load();
    EXPECT_EQ(languages_.Find("English"), 0);
    EXPECT_EQ(languages_.FindByDisplayName("English"), 0);
    ASSERT_TRUE(languages_.SetLanguage("English"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "body is empty");
}

TEST_F(LanguageListTest, NamesAreCaseSensitive) {
    WriteLanguage("de.lng", "Language=Deutsch,German\n");
    Load();
    EXPECT_FALSE(languages_.SetLanguage("english"));
    EXPECT_FALSE(languages_.SetLanguage("deutsch"));
    EXPECT_EQ(languages_.FindByDisplayName("german"), -1);
    EXPECT_EQ(languages_.FindByDisplayName("German"), 1);
}

TEST_F(LanguageListTest, FirstOfTwoEqualNamesWins) {
    WriteLanguage("a.lng", "Language=Deutsch,German\nMsg[1-5]=from a\n");
    WriteLanguage("b.lng", "Language=Deutsch,German\nMsg[1-5]=from b\n");
    Load();
    EXPECT_EQ(languages_.Find("Deutsch"), 1);
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "from a");
}

TEST_F(LanguageListTest, SetLanguageReadsEveryMessageWithEnglishForMissingKeys) {
    WriteLanguage("de.lng",
                  "Language=Deutsch,German\n"
                  "Msg[0-1]=Tessaly %d.%d.%d\n"
                  "Msg[2-2]=Keiner\n"
                  "Msg[10-9]=Erweiterung\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        if (m == msg::kAboutVersion) {
            EXPECT_STREQ(table_.Text(m), "Tessaly %d.%d.%d");
        } else if (m == msg::kNone) {
            EXPECT_STREQ(table_.Text(m), "Keiner");
        } else if (m == msg::kLabelPlugIn) {
            EXPECT_STREQ(table_.Text(m), "Erweiterung");
        } else {
            EXPECT_STREQ(table_.Text(m), kBuiltInMessages[m].english) << "message " << m;
        }
    }
}

TEST_F(LanguageListTest, KeysOfOtherSectionsAreNotRead) {
    directory_.Write("de.lng", "[Other]\nMsg[1-5]=wrong\n[Language]\nLanguage=Deutsch,German\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "body is empty");
}

TEST_F(LanguageListTest, EscapesInTranslations) {
    WriteLanguage("de.lng",
                  "Language=Deutsch,German\n"
                  "Msg[1-2]=erste Zeile\\nzweite Zeile\n"
                  "Msg[1-3]=a\\\\nb\n"
                  "Msg[1-4]=\\tTab\\rReturn\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "erste Zeile\nzweite Zeile");
    EXPECT_STREQ(table_.Text(msg::kWrongTitleSyntax), "a\\\nb");
    EXPECT_STREQ(table_.Text(msg::kNameAlreadyExists), "\tTab\rReturn");
}

TEST_F(LanguageListTest, LongTranslationIsCutTo127Bytes) {
    const std::string longText(200, 'y');
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=" + longText + "\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_EQ(std::string(table_.Text(msg::kBodyIsEmpty)), longText.substr(0, 127));
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
    ASSERT_TRUE(languages_.SetLanguage("English"));
    ExpectBuiltInTexts();
}

TEST_F(LanguageListTest, UnknownNameLeavesTheTableUnchanged) {
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_FALSE(languages_.SetLanguage("Klingon"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
}

TEST_F(LanguageListTest, FileRemovedAfterListingGivesTheEnglishTexts) {
    WriteLanguage("de.lng", "Language=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    std::filesystem::remove(directory_.Path() / "de.lng");
    EXPECT_TRUE(languages_.SetLanguage("Deutsch"));
    ExpectBuiltInTexts();
}

TEST_F(LanguageListTest, TheListIsFixedUntilTheNextLoad) {
    Load();
    WriteLanguage("de.lng", "Language=Deutsch,German\n");
    EXPECT_EQ(languages_.Find("Deutsch"), -1);
    Load();
    EXPECT_EQ(languages_.Find("Deutsch"), 1);
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

TEST_F(LanguageListTest, MissingDirectoryListsOnlyEnglish) {
    languages_.Load(directory_.Path() / "missing");
    EXPECT_EQ(languages_.Count(), 1u);
    EXPECT_TRUE(languages_.SetLanguage("English"));
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

TEST_F(LanguageListTest, TranslationsKeepTheirBytesUpToAZeroByte) {
    using namespace std::string_literals;
    WriteLanguage("de.lng",
                  "Language=Deutsch,German\n"
                  "Msg[1-5]=Rumpf\0ist leer\n"
                  "Msg[1-2]=\xFF\xFE titre \xC3\x28\xE2\x82\n"
                  "\0\xFF\x80 no entry at all\n"
                  "Msg[1-\xFF"
                  "3]=wrong key\n"s);
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf");
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "\xFF\xFE titre \xC3\x28\xE2\x82");
    EXPECT_STREQ(table_.Text(msg::kWrongTitleSyntax), kBuiltInMessages[msg::kWrongTitleSyntax].english);
}

TEST_F(LanguageListTest, TranslationsAfterAHundredKilobyteLineAreRead) {
    const std::string longLine(100 * 1024, 'x');
    WriteLanguage("de.lng", "Language=Deutsch,German\n" + longLine +
                                "\nMsg[1-5]=Rumpf ist leer\nMsg[1-2]=" + longLine + "\nMsg[1-3]=danach\n");
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
    EXPECT_EQ(std::string(table_.Text(msg::kTitleNotFound)), longLine.substr(0, 127));
    EXPECT_STREQ(table_.Text(msg::kWrongTitleSyntax), "danach");
}

// A file cut off in a key leaves that message in English; one cut off in a value keeps what is left of it;
// one cut off before both names is listed but cannot be chosen.
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

TEST_F(LanguageListTest, OnlyTheFirstMebibyteOfAFileIsRead) {
    std::string text = "[Language]\nLanguage=Deutsch,German\nMsg[1-5]=early\n";
    text.append(ProfileFile::kMaxFileBytes, ';');
    text += "\nMsg[1-2]=late\n";
    directory_.Write("de.lng", text);
    Load();
    ASSERT_TRUE(languages_.SetLanguage("Deutsch"));
    EXPECT_STREQ(table_.Text(msg::kBodyIsEmpty), "early");
    EXPECT_STREQ(table_.Text(msg::kTitleNotFound), "title not found");
}

}  // namespace
}  // namespace tessaly
