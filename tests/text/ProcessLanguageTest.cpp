#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "text/BuiltInMessage.h"
#include "text/LanguageDirectories.h"
#include "text/LanguageList.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

// The process-wide functions share one table, so every test starts and ends without a loaded list.
class ProcessLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override { FreeLanguages(); }
    void TearDown() override { FreeLanguages(); }

    test::TempDirectory directory_;
};

TEST_F(ProcessLanguageTest, MessagesAreReadableBeforeLoadingAndOutsideTheTableEmpty) {
    EXPECT_STREQ(GetMessageText(msg::kBodyIsEmpty), "body is empty");
    EXPECT_EQ(GetLanguageCount(), 0u);
    for (std::uint16_t index : {std::uint16_t{88}, std::uint16_t{65535}, std::uint16_t{36}}) {
        ASSERT_NE(GetMessageText(index), nullptr);
        EXPECT_STREQ(GetMessageText(index), "") << "message " << index;
    }
}

// The desktop's list: the working directory's files first, then those the build copies beside the
// executable (this test's executable is built beside the programs), where German is found again.
TEST_F(ProcessLanguageTest, LanguagesComeFromTheWorkingDirectoryFirstThenFromBesideTheProgram) {
    directory_.Write("de.lng", "[Language]\nLanguage=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    {
        test::ScopedWorkingDirectory inside(directory_.Path());
        LoadLanguageList(LanguageDirectories());
    }
    ASSERT_EQ(GetLanguageCount(), 4u);
    EXPECT_EQ(GetLanguageEntry(1)->fileName, "de.lng");
    EXPECT_EQ(GetLanguageEntry(2)->fileName, "Deutsch.lng");
    EXPECT_EQ(GetLanguageEntry(3)->fileName, "Francais.lng");
    EXPECT_EQ(GetLanguageEntry(4), nullptr);
    EXPECT_EQ(FindLanguage("Deutsch"), 1);
    EXPECT_EQ(FindLanguage("Francais"), 3);
    EXPECT_EQ(FindLanguageByDisplayName("German"), 1);
    std::string name;
    ASSERT_TRUE(GetLanguageName("German", name));
    EXPECT_EQ(name, "Deutsch");

    ASSERT_TRUE(SetLanguage(name));
    EXPECT_STREQ(GetMessageText(msg::kBodyIsEmpty), "Rumpf ist leer");
    ASSERT_TRUE(SetLanguage("English"));
    EXPECT_STREQ(GetMessageText(msg::kBodyIsEmpty), "body is empty");
}

TEST_F(ProcessLanguageTest, FreeLanguagesFallsBackToTheBuiltInTexts) {
    directory_.Write("de.lng", "[Language]\nLanguage=Deutsch,German\nMsg[1-5]=Rumpf ist leer\n");
    LoadLanguageList({directory_.Path()});
    ASSERT_TRUE(SetLanguage("Deutsch"));
    FreeLanguages();
    EXPECT_EQ(GetLanguageCount(), 0u);
    EXPECT_EQ(GetMessageText(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
    EXPECT_EQ(FindLanguage("English"), -1);
}

}  // namespace
}  // namespace tessaly
