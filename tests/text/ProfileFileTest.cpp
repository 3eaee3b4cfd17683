#include "text/ProfileFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace tessaly {
namespace {

using namespace std::string_literals;

constexpr std::size_t kBuffer = 128;

TEST(ProfileFile, LookupsFollowTheProfileRules) {
    const struct {
        const char* what;
        std::string text;
        std::string section;
        std::string key;
        std::string expected;
        std::string defaultValue = "<default>";
        std::size_t bufferSize = kBuffer;
    } lookups[] = {
        {"names ignore case", "[MainWindow]\nSize=10,20\n", "mainwindow", "SIZE", "10,20"},
        {"case folding is ASCII only", "[\xC3\x84]\nk=v\n", "\xC3\xA4", "k", "<default>"},
        {"names are trimmed", "  [ Config ]  \n \t Key \t = v\n", "Config", "Key", "v"},
        {"a key name must match whole", "[Configs]\nk=1\n[Config]\nkey=2\n", "Config", "key", "2"},
        {"a section needs its bracket", "[A]\n[B\nk=v\n", "B", "k", "<default>"},
        {"later equal sections are not searched", "[A]\nk=1\n[a]\nk=2\nj=3\n", "a", "j", "<default>"},
        {"keys before any section belong to none", "k=0\n[A]\nx=1\n[B]\nk=2\n", "A", "k", "<default>"},
        {"comments and lines without equals are skipped", "[A]\n;k=comment\nk\nk=value\n", "A", "k", "value"},
        {"empty key never matches", "[A]\n=v\n", "A", "", "<default>"},
        {"value is trimmed, inner blanks kept", "[A]\nk = \t two  words \t\r\n", "A", "k", "two  words"},
        {"empty value is not the default", "[A]\nk=\n", "A", "k", ""},
        {"quotes are removed", "[A]\nk=\"quoted\"\n", "A", "k", "quoted"},
        {"only one pair of quotes is removed", "[A]\nk=\"\"twice\"\"\n", "A", "k", "\"twice\""},
        {"a lone quote stays", "[A]\nk=\"\n", "A", "k", "\""},
        {"CR LF ends a line", "[A]\r\nk=crlf\r\nj=lf\nlast=end", "A", "k", "crlf"},
        {"a lone CR ends no line", "[A]\nk=one\rj=two\n", "A", "k", "one\rj=two"},
        {"default loses trailing blanks", "", "A", "k", "  lead and trail", "  lead and trail  "},
        {"value is cut to buffer less one", "[A]\nk=abcdefgh\n", "A", "k", "abc", "", 4},
        {"buffer of zero", "[A]\nk=abcdefgh\n", "A", "k", "", "", 0},
        {"zero bytes are ordinary", "[A]\nk=a\0b\n"s, "A", "k", "a\0b"s},
    };
    for (const auto& l : lookups) {
        EXPECT_EQ(ProfileFile(l.text).GetString(l.section, l.key, l.defaultValue, l.bufferSize), l.expected)
            << l.what;
    }
}

// Only regular files are read.
TEST(ProfileFile, LoadReadsOnlyRegularFiles) {
    test::TempDirectory directory;
    const auto path = directory.Write("settings.ini", "[Config]\nLanguage=Deutsch\n");
    ProfileFile profile("[A]\nk=old\n");
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.GetString("config", "language", "", kBuffer), "Deutsch");
    const auto fifo = directory.Path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& unreadable : {directory.Path() / "missing.ini", directory.Path(), fifo}) {
        EXPECT_FALSE(profile.Load(unreadable)) << unreadable;
        EXPECT_EQ(profile.GetString("Config", "Language", "default", kBuffer), "default") << unreadable;
        EXPECT_EQ(ReadProfileString(unreadable, "A", "k", "default", kBuffer), "default") << unreadable;
    }
    EXPECT_FALSE(WriteProfileString(fifo, "A", "k", "v"));
}

// Writes before (no file when it is null), sets key to "v" and returns the file's bytes afterwards.
std::string Rewrite(const char* before, std::string_view section, std::string_view key) {
    test::TempDirectory directory;
    const auto path = directory.Path() / "settings.ini";
    if (before != nullptr) {
        test::WriteBytes(path, before);
    }
    EXPECT_TRUE(WriteProfileString(path, section, key, "v"));
    return test::ReadBytes(path);
}

// Only the key's line changes; a new key goes after the section's last non-blank line, a new section at
// the end, both with the file's own line end.
TEST(WriteProfileString, ReplacesOrAddsTheKeyKeepingEveryOtherByte) {
    const struct {
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    } cases[] = {
        {"; head\r\n[Config]\r\n  Size = 1,2 \r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n", "config", "Size",
         "; head\r\n[Config]\r\nSize=v\r\nFont=x\r\n[MainWindow]\r\nSize=9\r\n"},
        {"[A]\nk=1", "A", "K", "[A]\nK=v"},
        {"[A]\nk=1\nk=2\n[a]\nk=3\n", "a", "k", "[A]\nk=v\nk=2\n[a]\nk=3\n"},
        {"[A]\nx=1\n; note\n\n  \n[B]\ny=2\n", "A", "k", "[A]\nx=1\n; note\nk=v\n\n  \n[B]\ny=2\n"},
        {"[A]\n[B]\n", "A", "k", "[A]\nk=v\n[B]\n"},
        {"[A]\nx=1", "A", "k", "[A]\nx=1\nk=v\n"},
        {"[A]\nx=1\n", "B", "k", "[A]\nx=1\n[B]\nk=v\n"},
        {"[A]\nx=1", "B", "k", "[A]\nx=1\n[B]\nk=v\n"},
        {"[A]\r\nx=1\r\n", "A", "k", "[A]\r\nx=1\r\nk=v\r\n"},
        {"[A]\r\nx=1\r\n", "B", "k", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {nullptr, "Config", "Language", "[Config]\nLanguage=v\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rewrite(c.before, c.section, c.key), c.after)
            << (c.before != nullptr ? c.before : "no file");
    }
}

// Names and values that could not be read back as written and a file bigger than the read limit (one of
// exactly the limit is fine) change nothing. A write that fails half way changes nothing either, as the
// file is replaced as a whole (see WriteFileAtomically).
TEST(WriteProfileString, RefusesWhatCannotBeWrittenAndChangesNothing) {
    test::TempDirectory directory;
    const std::string before = "[A]\nk=1\n";
    const auto path = directory.Write("settings.ini", before);
    const std::array<const char*, 3> refused[] = {
        {"", "k", "v"},   {" A", "k", "v"},         {"A]B", "k", "v"},  {"A\nB", "k", "v"},
        {"A", "", "v"},   {"A", "k ", "v"},         {"A", "a=b", "v"},  {"A", "[k", "v"},
        {"A", ";k", "v"}, {"A", "k", "two\nlines"}, {"A", "k", "cr\r"},
    };
    for (const auto& [section, key, value] : refused) {
        EXPECT_FALSE(WriteProfileString(path, section, key, value)) << section << "/" << key << "=" << value;
    }
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_EQ(test::FileNamesIn(directory.Path()), std::vector<std::string>{"settings.ini"});

    const std::string limit = before + std::string(ProfileFile::kMaxFileBytes - before.size(), ';');
    directory.Write("settings.ini", limit + ";");
    EXPECT_FALSE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), limit + ";");
    directory.Write("settings.ini", limit);
    ASSERT_TRUE(WriteProfileString(path, "A", "k", "2"));
    EXPECT_EQ(test::ReadBytes(path), "[A]\nk=2\n" + limit.substr(before.size()));
}

}  // namespace
}  // namespace tessaly
