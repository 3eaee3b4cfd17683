// The language files shipped with the program: each one translates every message, fits the buffer a text
// is read into, and keeps what the program fills in or relies on in the English text.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "text/BuiltInMessage.h"
#include "text/LanguageList.h"
#include "text/MessageTable.h"
#include "text/ProfileFile.h"

namespace tessaly {
namespace {

constexpr std::string_view kMissing = "\x01missing";
// Larger than any text may be, so that one which would be cut shows its full length.
constexpr std::size_t kLargeBuffer = 4096;

// The format's placeholders in order ("%d", "%s", "%%"), the number of line breaks and a closing ellipsis
// (the entry opens a dialog): what a translation must keep as the English text has it.
std::string ShapeOf(std::string_view text) {
    std::string shape;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            shape += text.substr(i++, 2);
        }
    }
    shape += " " + std::to_string(std::count(text.begin(), text.end(), '\n')) + " line breaks";
    return text.ends_with("...") ? shape + ", ellipsis" : shape;
}

TEST(ShippedLanguagesTest, EveryFileTranslatesEveryMessageKeepingItsPlaceholders) {
    MessageTable table;
    LanguageList languages(table);
    languages.Load({TESSALY_SHIPPED_LANGUAGES});
    ASSERT_EQ(languages.Count(), 3u);
    EXPECT_EQ(languages.Entry(1)->fileName, "Deutsch.lng");
    EXPECT_EQ(languages.Entry(2)->fileName, "Francais.lng");

    for (std::size_t index = 1; index < languages.Count(); ++index) {
        const LanguageEntry& entry = *languages.Entry(index);
        SCOPED_TRACE(entry.fileName);
        ASSERT_TRUE(languages.SetLanguage(entry.name));
        ProfileFile file;
        file.Load(entry.directory / entry.fileName);
        for (std::uint16_t m = 0; m < kMessageCount; ++m) {
            const std::string key = FormatMessageKey(m);
            const std::string written = file.GetString("Language", key, kMissing, kLargeBuffer);
            ASSERT_NE(written, kMissing) << key;
            EXPECT_LT(written.size(), LanguageList::kValueBufferSize) << key << " would be cut";
            const std::string_view english = kBuiltInMessages[m].english;
            EXPECT_EQ(written.empty(), english.empty()) << key;
            EXPECT_EQ(table.Text(m), UnescapeText(written)) << key;
            EXPECT_EQ(ShapeOf(table.Text(m)), ShapeOf(english)) << key << ": " << table.Text(m);
        }
    }
}

}  // namespace
}  // namespace tessaly
