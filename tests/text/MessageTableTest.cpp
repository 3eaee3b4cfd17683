#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "text/BuiltInMessage.h"
#include "text/MessageFormat.h"
#include "text/MessageId.h"

namespace tessaly {
namespace {

// A language file names each text by its key, so no two messages may share one. Only message 36 is empty.
TEST(BuiltInMessages, KeysAreUniqueAndEveryTextButOneIsThere) {
    std::set<std::string> keys;
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        keys.insert(FormatMessageKey(m));
        EXPECT_EQ(std::strlen(kBuiltInMessages[m].english) == 0, m == 36) << "message " << m;
    }
    EXPECT_EQ(keys.size(), std::size_t{kMessageCount});
}

// \n, \r and \t become control characters; other backslashes stay and replacements form no new pairs.
TEST(UnescapeText, ReplacesOnlyTheThreePairs) {
    const std::pair<const char*, const char*> cases[] = {
        {"one\\ntwo", "one\ntwo"},  {"a\\tb\\rc", "a\tb\rc"}, {"C:\\path\\x\\", "C:\\path\\x\\"},
        {"\\N\\R\\T", "\\N\\R\\T"}, {"\\\\rn", "\\\rn"},      {"\\\\\\n", "\\\\\n"},
    };
    for (const auto& [escaped, plain] : cases) {
        EXPECT_EQ(UnescapeText(escaped), plain) << escaped;
    }
}

// Placeholders take the arguments in order, missing ones stand for nothing, other percent signs stay.
TEST(FormatMessage, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatMessage("Version %d.%d (Build %d)", {"1", "2", "345"}), "Version 1.2 (Build 345)");
    EXPECT_EQ(FormatMessage("%s and %s, 100%% %n %", {"x"}), "x and , 100% %n %");
}

// Without an arena (before Create, after Free) every text is the built-in one and nothing is stored.
// Create copies them; Store replaces one and keeps the replaced text readable; Reset restores them all.
TEST(MessageTable, HoldsCopiesOfTheTextsOnlyWhileItHasAnArena) {
    MessageTable table;
    EXPECT_EQ(table.Text(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
    EXPECT_FALSE(table.Store(msg::kBodyIsEmpty, "changed"));
    table.Create();
    for (std::uint16_t m = 0; m < kMessageCount; ++m) {
        EXPECT_STREQ(table.Text(m), kBuiltInMessages[m].english);
        EXPECT_NE(table.Text(m), kBuiltInMessages[m].english);
    }
    EXPECT_STREQ(table.Text(kMessageCount), "");
    EXPECT_FALSE(table.Store(kMessageCount, "x"));
    ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, "Rumpf ist leer"));
    const char* first = table.Text(msg::kBodyIsEmpty);
    ASSERT_TRUE(table.Store(msg::kBodyIsEmpty, std::string(5000, 'x')));
    EXPECT_STREQ(first, "Rumpf ist leer");
    EXPECT_EQ(table.Text(msg::kBodyIsEmpty), std::string(5000, 'x'));
    EXPECT_STREQ(table.Text(msg::kTitleNotFound), "title not found");
    table.Reset();
    EXPECT_STREQ(table.Text(msg::kBodyIsEmpty), "body is empty");
    table.Free();
    EXPECT_EQ(table.Text(msg::kBodyIsEmpty), kBuiltInMessages[msg::kBodyIsEmpty].english);
    EXPECT_FALSE(table.Store(msg::kBodyIsEmpty, "again"));
}

}  // namespace
}  // namespace tessaly
