#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "text/BuiltInMessage.h"
#include "text/MessageId.h"

namespace tessaly {
namespace {

// Keys must be unique: groups run from 0 to 10 and each group's indices count from 1.
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
    EXPECT_EQ(kBuiltInMessages.size(), std::size_t{kMessageCount});
}

TEST(BuiltInMessages, EveryTextIsPresentAndOnlyMessage36IsEmpty) {
    for (std::size_t m = 0; m < kBuiltInMessages.size(); ++m) {
        ASSERT_NE(kBuiltInMessages[m].english, nullptr) << "message " << m;
        EXPECT_EQ(std::strlen(kBuiltInMessages[m].english) == 0, m == 36) << "message " << m;
    }
}

TEST(MessageIds, NamesFitTheirTexts) {
    EXPECT_STREQ(kBuiltInMessages[msg::kTitleNotFound].english, "title not found");
    EXPECT_STREQ(kBuiltInMessages[msg::kStateHardwareUnplugged].english, "Hardware unplugged");
    EXPECT_STREQ(kBuiltInMessages[msg::kLabelIoDelayFactor].english, "I/O delay factor");
}

TEST(FormatMessageKey, UsesGroupAndIndexInDecimalAndIsEmptyBeyondTheTable) {
    const std::pair<std::uint16_t, const char*> cases[] = {{0, "Msg[0-1]"},     {14, "Msg[2-2]"},
                                                           {25, "Msg[2-13]"},   {87, "Msg[10-9]"},
                                                           {kMessageCount, ""}, {65535, ""}};
    for (const auto& [message, key] : cases) {
        EXPECT_EQ(FormatMessageKey(message), key) << message;
    }
}

// \n, \r and \t become control characters; other backslashes stay and replacements form no new pairs.
TEST(UnescapeText, ReplacesOnlyTheThreePairs) {
    const std::pair<const char*, const char*> cases[] = {
        {"one\\ntwo", "one\ntwo"},  {"a\\tb\\rc", "a\tb\rc"},
        {"a\\\\nb", "a\\\nb"},      {"C:\\path\\x\\", "C:\\path\\x\\"},
        {"\\N\\R\\T", "\\N\\R\\T"}, {"", ""},
        {"\\\\rn", "\\\rn"},        {"\\\\\\n", "\\\\\n"},
    };
    for (const auto& [escaped, plain] : cases) {
        EXPECT_EQ(UnescapeText(escaped), plain) << escaped;
    }
}

TEST(MessageTable, WithoutArenaReadsTheBuiltInTexts) {
    MessageTable table;
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_EQ(table.Text(m), kBuiltInMessages[m].english);
    }
    EXPECT_FALSE(table.Store(msg::kBodyIsEmpty, "changed"));
    EXPECT_STREQ(table.Text(msg::kBodyIsEmpty), "body is empty");
}

TEST(MessageTable, CreateCopiesTheBuiltInTextsAndIndicesBeyondGiveAnEmptyText) {
    MessageTable table;
    table.Create();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_STREQ(table.Text(m), kBuiltInMessages[m].english);
        EXPECT_NE(table.Text(m), kBuiltInMessages[m].english);
    }
    for (std::uint16_t index : {std::uint16_t{88}, std::uint16_t{1000}, std::uint16_t{65535}}) {
        ASSERT_NE(table.Text(index), nullptr);
        EXPECT_STREQ(table.Text(index), "");
        EXPECT_FALSE(table.Store(index, "x"));
    }
}

TEST(MessageTable, StoreReplacesOneTextAndKeepsReplacedTextsReadable) {
    MessageTable table;
    table.Create();
    const char* before = table.Text(msg::kBodyIsEmpty);
    ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, "body is empty"));
    EXPECT_EQ(table.Text(msg::kBodyIsEmpty), before) << "the same text keeps its storage";
    ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, "Rumpf ist leer"));
    const char* first = table.Text(msg::kBodyIsEmpty);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, "text number " + std::to_string(i)));
    }
    EXPECT_STREQ(first, "Rumpf ist leer");
    EXPECT_STREQ(table.Text(msg::kBodyIsEmpty), "text number 999");
    EXPECT_STREQ(table.Text(msg::kTitleNotFound), "title not found");
}

TEST(MessageTable, ResetRestoresEveryTextAndFreeFallsBackToTheBuiltIns) {
    MessageTable table;
    table.Create();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        ASSERT_TRUE(table.Store(m, "translated"));
    }
    table.Reset();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_STREQ(table.Text(m), kBuiltInMessages[m].english);
    }
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
