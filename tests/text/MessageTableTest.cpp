#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "text/BuiltInMessage.h"
#include "text/MessageId.h"

namespace tessaly {
namespace {

TEST(BuiltInMessages, KeyPairsAreUnique) {
    std::set<std::pair<int, int>> keys;
    for (const BuiltInMessage& message : kBuiltInMessages) {
        EXPECT_TRUE(keys.emplace(message.group, message.index).second)
            << "Msg[" << int{message.group} << "-" << int{message.index} << "] twice";
    }
    EXPECT_EQ(keys.size(), std::size_t{kMessageCount});
}

TEST(BuiltInMessages, GroupsRunFromZeroToTenAndIndicesCountFromOne) {
    int group = 0;
    int expectedIndex = 1;
    for (std::size_t m = 0; m < kBuiltInMessages.size(); ++m) {
        const BuiltInMessage& message = kBuiltInMessages[m];
        if (message.group != group) {
            EXPECT_EQ(message.group, group + 1) << "message " << m;
            group = message.group;
            expectedIndex = 1;
        }
        EXPECT_EQ(message.index, expectedIndex) << "message " << m;
        ++expectedIndex;
    }
    EXPECT_EQ(group, 10);
}

TEST(BuiltInMessages, GroupSizes) {
    const std::array<int, 11> expected = {1, 12, 13, 4, 6, 4, 9, 11, 2, 17, 9};
    std::array<int, 11> sizes{};
    for (const BuiltInMessage& message : kBuiltInMessages) {
        ASSERT_LT(message.group, sizes.size());
        ++sizes[message.group];
    }
    EXPECT_EQ(sizes, expected);
}

TEST(BuiltInMessages, EveryTextIsPresentAndOnlyMessage36IsEmpty) {
    for (std::size_t m = 0; m < kBuiltInMessages.size(); ++m) {
        ASSERT_NE(kBuiltInMessages[m].english, nullptr) << "message " << m;
        EXPECT_EQ(std::strlen(kBuiltInMessages[m].english) == 0, m == 36) << "message " << m;
    }
}

TEST(BuiltInMessages, TextsAreKeptExactly) {
    EXPECT_STREQ(kBuiltInMessages[0].english, "Tessaly for  Win9x/NT/XP\nVersion %d.%d (Build %d)");
    EXPECT_STREQ(kBuiltInMessages[5].english, "body is empty");
    EXPECT_STREQ(kBuiltInMessages[11].english, "ERROR: Template memory collision.");
    EXPECT_STREQ(kBuiltInMessages[30].english, "Device access error!\nDo you want to try again?");
    EXPECT_STREQ(kBuiltInMessages[35].english, "Verify sucessfully complete");
    EXPECT_STREQ(kBuiltInMessages[36].english, "");
    EXPECT_STREQ(kBuiltInMessages[45].english, "hexidecimal");
    EXPECT_STREQ(kBuiltInMessages[59].english,
                 "Profile name in file not match local profile!\nDo you realy want to load data?");
    EXPECT_STREQ(kBuiltInMessages[67].english, "Align of column 'Name'");
    EXPECT_STREQ(kBuiltInMessages[87].english, "Plug-in");
}

TEST(BuiltInMessages, SameTextsAreStillSeparateMessages) {
    for (const auto& [a, b] : {std::pair{27, 77}, std::pair{28, 78}, std::pair{39, 72}}) {
        EXPECT_STREQ(kBuiltInMessages[a].english, kBuiltInMessages[b].english);
        EXPECT_NE(FormatMessageKey(a), FormatMessageKey(b));
    }
}

TEST(MessageIds, NamesFitTheirTexts) {
    EXPECT_STREQ(kBuiltInMessages[msg::kTitleNotFound].english, "title not found");
    EXPECT_STREQ(kBuiltInMessages[msg::kStateHardwareUnplugged].english, "Hardware unplugged");
    EXPECT_STREQ(kBuiltInMessages[msg::kBaseHexadecimal].english, "hexidecimal");
    EXPECT_STREQ(kBuiltInMessages[msg::kLabelIoDelayFactor].english, "I/O delay factor");
}

TEST(FormatMessageKey, UsesGroupAndIndexInDecimal) {
    EXPECT_EQ(FormatMessageKey(0), "Msg[0-1]");
    EXPECT_EQ(FormatMessageKey(14), "Msg[2-2]");
    EXPECT_EQ(FormatMessageKey(25), "Msg[2-13]");
    EXPECT_EQ(FormatMessageKey(87), "Msg[10-9]");
}

TEST(FormatMessageKey, EmptyBeyondTheTable) {
    EXPECT_EQ(FormatMessageKey(kMessageCount), "");
    EXPECT_EQ(FormatMessageKey(65535), "");
}

TEST(UnescapeText, PairsBecomeControlCharacters) {
    EXPECT_EQ(UnescapeText("one\\ntwo"), "one\ntwo");
    EXPECT_EQ(UnescapeText("\\r\\n\\t"), "\r\n\t");
    EXPECT_EQ(UnescapeText("a\\tb\\rc"), "a\tb\rc");
}

TEST(UnescapeText, BackslashBackslashNIsABackslashAndALineFeed) {
    EXPECT_EQ(UnescapeText("a\\\\nb"), "a\\\nb");
}

TEST(UnescapeText, OtherBackslashesStay) {
    EXPECT_EQ(UnescapeText("C:\\path\\x\\"), "C:\\path\\x\\");
    EXPECT_EQ(UnescapeText("\\N\\R\\T"), "\\N\\R\\T");
    EXPECT_EQ(UnescapeText(""), "");
}

TEST(UnescapeText, ReplacementsDoNotFormNewPairs) {
    EXPECT_EQ(UnescapeText("\\\\rn"), "\\\rn");
    EXPECT_EQ(UnescapeText("\\\\\\n"), "\\\\\n");
}

TEST(MessageTable, WithoutArenaReadsTheBuiltInTexts) {
    MessageTable table;
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_EQ(table.Text(m), kBuiltInMessages[m].english);
    }
    EXPECT_FALSE(table.Store(msg::kBodyIsEmpty, "changed"));
    EXPECT_STREQ(table.Text(msg::kBodyIsEmpty), "body is empty");
}

TEST(MessageTable, IndicesBeyondTheTableGiveAnEmptyText) {
    MessageTable table;
    table.Create();
    for (std::uint16_t index : {std::uint16_t{88}, std::uint16_t{1000}, std::uint16_t{65535}}) {
        ASSERT_NE(table.Text(index), nullptr);
        EXPECT_STREQ(table.Text(index), "");
        EXPECT_FALSE(table.Store(index, "x"));
    }
    EXPECT_STREQ(table.Text(36), "");
}

TEST(MessageTable, CreateCopiesTheBuiltInTexts) {
    MessageTable table;
    table.Create();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_STREQ(table.Text(m), kBuiltInMessages[m].english);
        EXPECT_NE(table.Text(m), kBuiltInMessages[m].english);
    }
}

TEST(MessageTable, StoreReplacesOneText) {
    MessageTable table;
    table.Create();
    ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, "Rumpf ist leer"));
    EXPECT_STREQ(table.Text(msg::kBodyIsEmpty), "Rumpf ist leer");
    EXPECT_STREQ(table.Text(msg::kTitleNotFound), "title not found");
}

TEST(MessageTable, ReplacedTextStaysReadableUntilFree) {
    MessageTable table;
    table.Create();
    ASSERT_TRUE(table.Store(5, "first"));
    const char* first = table.Text(5);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(table.Store(5, "text number " + std::to_string(i)));
    }
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(table.Text(5), "text number 999");
}

TEST(MessageTable, StoringTheSameTextKeepsItsStorage) {
    MessageTable table;
    table.Create();
    const char* before = table.Text(5);
    ASSERT_TRUE(table.Store(5, "body is empty"));
    EXPECT_EQ(table.Text(5), before);
}

TEST(MessageTable, ResetRestoresEveryText) {
    MessageTable table;
    table.Create();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        ASSERT_TRUE(table.Store(m, "translated"));
    }
    table.Reset();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_STREQ(table.Text(m), kBuiltInMessages[m].english);
    }
}

TEST(MessageTable, FreeFallsBackToTheBuiltInTexts) {
    MessageTable table;
    table.Create();
    ASSERT_TRUE(table.Store(5, "translated"));
    table.Free();
    EXPECT_EQ(table.Text(5), kBuiltInMessages[5].english);
    EXPECT_FALSE(table.Store(5, "again"));
}

TEST(MessageTable, ReaderOnAnotherThreadSeesWholeTexts) {
    MessageTable table;
    table.Create();
    const std::string translated(100, 'x');
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done.load(std::memory_order_acquire)) {
            const std::string_view text = table.Text(5);
            if (text != "body is empty" && text != translated) {
                torn.fetch_add(1);
            }
        }
    });
    for (int i = 0; i < 20000; ++i) {
        table.Store(5, (i % 2 == 0) ? std::string_view(translated) : std::string_view("body is empty"));
    }
    done.store(true, std::memory_order_release);
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace tessaly
