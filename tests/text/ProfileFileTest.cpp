#include "text/ProfileFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "TestFiles.h"

namespace tessaly {
namespace {

constexpr std::size_t kBuffer = 128;

struct Lookup {
    const char* what;
    std::string text;
    std::string section;
    std::string key;
    std::string expected;
    std::string defaultValue = "<default>";
    std::size_t bufferSize = kBuffer;
};

std::string Get(const std::string& text, std::string_view section, std::string_view key) {
    return ProfileFile(text).GetString(section, key, "<default>", kBuffer);
}

TEST(ProfileFile, LookupsFollowTheProfileRules) {
    const Lookup lookups[] = {
        {"names ignore case", "[MainWindow]\nSize=10,20\n", "mainwindow", "SIZE", "10,20"},
        {"case folding is ASCII only", "[\xC3\x84]\nk=v\n", "\xC3\xA4", "k", "<default>"},
        {"bytes above ASCII match exactly", "[\xC3\x84]\nk=v\n", "\xC3\x84", "K", "v"},
        {"names are trimmed", "  [ Config ]  \n \t Key \t = v\n", "Config", "Key", "v"},
        {"a section name must match whole", "[Configs]\nk=1\n[Config]\nkey=2\n", "Config", "k", "<default>"},
        {"a key name must match whole", "[Configs]\nk=1\n[Config]\nkey=2\n", "Config", "key", "2"},
        {"first matching key wins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        {"first matching section wins", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "k", "1"},
        {"later equal sections are not searched", "[A]\nk=1\n[a]\nk=2\nj=3\n", "a", "j", "<default>"},
        {"keys before any section belong to none", "k=0\n[A]\nx=1\n[B]\nk=2\n", "A", "k", "<default>"},
        {"keys belong to their section", "k=0\n[A]\nx=1\n[B]\nk=2\n", "B", "k", "2"},
        {"comments and lines without equals are skipped", "[A]\n;k=comment\nk\nk=value\n", "A", "k", "value"},
        {"comments are no keys", "[A]\n;k=comment\n", "A", ";k", "<default>"},
        {"empty key never matches", "[A]\n=v\n", "A", "", "<default>"},
        {"value is trimmed, inner blanks kept", "[A]\nk = \t two  words \t\r\n", "A", "k", "two  words"},
        {"empty value is not the default", "[A]\nk=\n", "A", "k", ""},
        {"later equals signs stay", "[A]\nk=a=b\n", "A", "k", "a=b"},
        {"double quotes are removed", "[A]\nk=\"quoted\"\n", "A", "k", "quoted"},
        {"single quotes are removed", "[A]\nk='single'\n", "A", "k", "single"},
        {"only one pair of quotes is removed", "[A]\nk=\"\"twice\"\"\n", "A", "k", "\"twice\""},
        {"quotes keep inner blanks", "[A]\nk= \" padded \" \n", "A", "k", " padded "},
        {"empty quotes", "[A]\nk=\"\"\n", "A", "k", ""},
        {"mixed quotes stay", "[A]\nk=\"mixed'\n", "A", "k", "\"mixed'"},
        {"a lone quote stays", "[A]\nk=\"\n", "A", "k", "\""},
        {"an open quote stays", "[A]\nk=\"open\n", "A", "k", "\"open"},
        {"CR LF ends a line", "[A]\r\nk=crlf\r\nj=lf\nlast=end", "A", "k", "crlf"},
        {"LF ends a line", "[A]\r\nk=crlf\r\nj=lf\nlast=end", "A", "j", "lf"},
        {"the last line needs no end", "[A]\r\nk=crlf\r\nj=lf\nlast=end", "A", "last", "end"},
        {"a lone CR ends no line", "[A]\nk=one\rj=two\n", "A", "k", "one\rj=two"},
        {"a key after a lone CR is no key", "[A]\nk=one\rj=two\n", "A", "j", "<default>"},
        {"missing section", "[A]\nk=v\n", "B", "k", "<default>"},
        {"missing key", "[A]\nk=v\n", "A", "x", "<default>"},
        {"empty text", "", "A", "k", "<default>"},
        {"default loses trailing blanks", "", "A", "k", "  lead and trail", "  lead and trail  "},
        {"default keeps a trailing tab", "", "A", "k", "tab\t", "tab\t"},
        {"value is cut to buffer less one", "[A]\nk=abcdefgh\n", "A", "k", "abc", "", 4},
        {"value that just fits", "[A]\nk=abcdefgh\n", "A", "k", "abcdefgh", "", 9},
        {"buffer of one", "[A]\nk=abcdefgh\n", "A", "k", "", "", 1},
        {"buffer of zero", "[A]\nk=abcdefgh\n", "A", "k", "", "", 0},
        {"default is cut like a value", "", "A", "k", "abc", "abcdef", 4},
        {"default with a buffer of zero", "", "A", "k", "", "abcdef", 0},
        {"quotes are removed before the cut", "[A]\nk=\"abcdef\"\n", "A", "k", "abc", "", 4},
    };
    for (const Lookup& l : lookups) {
        EXPECT_EQ(ProfileFile(l.text).GetString(l.section, l.key, l.defaultValue, l.bufferSize), l.expected)
            << l.what;
    }
}

TEST(ProfileFileLoad, ReadsARegularFileOnly) {
    test::TempDirectory directory;
    const auto path = directory.Write("settings.ini", "[Config]\nLanguage=Deutsch\n");
    ProfileFile profile("[A]\nk=old\n");
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.GetString("config", "language", "", kBuffer), "Deutsch");
    EXPECT_EQ(ReadProfileString(path, "Config", "Language", "", kBuffer), "Deutsch");

    const auto fifo = directory.Path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& unreadable : {directory.Path() / "missing.ini", directory.Path(), fifo}) {
        EXPECT_FALSE(profile.Load(unreadable)) << unreadable;
        EXPECT_EQ(profile.GetString("Config", "Language", "default", kBuffer), "default") << unreadable;
        EXPECT_EQ(ReadProfileString(unreadable, "A", "k", "default", kBuffer), "default") << unreadable;
    }
    EXPECT_FALSE(WriteProfileString(fifo, "A", "k", "v"));
}

TEST(ProfileFileLoad, ReadsNoMoreThanTheLimit) {
    test::TempDirectory directory;
    std::string text = "[A]\nbefore=1\n";
    text.append(ProfileFile::kMaxFileBytes - text.size() - 4, ';');
    text += "\nafter=2\n";
    const auto path = directory.Write("big.ini", text);
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.GetString("A", "before", "", kBuffer), "1");
    EXPECT_EQ(profile.GetString("A", "after", "none", kBuffer), "none");
}

TEST(ProfileFileLoad, OverlongLineIsHarmless) {
    test::TempDirectory directory;
    std::string text = "[A]\nk=";
    text.append(3 * ProfileFile::kMaxFileBytes, 'x');
    const auto path = directory.Write("long.ini", text);
    const std::string value = ReadProfileString(path, "A", "k", "", kBuffer);
    EXPECT_EQ(value, std::string(kBuffer - 1, 'x'));
}

TEST(ProfileFileLoad, EntriesAfterAHundredKilobyteLineAreFound) {
    test::TempDirectory directory;
    const std::string longLine(100 * 1024, 'x');
    const auto path =
        directory.Write("long.ini", "[A]\n" + longLine + "\nk=1\n[" + longLine + "]\n[B]\nm=2\n");
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.GetString("A", "k", "", kBuffer), "1");
    EXPECT_EQ(profile.GetString("B", "m", "", kBuffer), "2");
}

// What a file cut after `cut` bytes keeps of the value of `length` bytes at valueAt: nothing (the default)
// when the cut comes before the value, else the value as far as it goes.
std::string LeftOfValue(const std::string& whole, std::size_t cut, std::size_t valueAt, std::size_t length) {
    return cut < valueAt ? "<default>" : whole.substr(valueAt, std::min(cut - valueAt, length));
}

TEST(ProfileFileLoad, TruncatedFileReadsWhatIsLeftOfEachEntry) {
    const std::string whole = "[A]\nfirst=1\nsecond=22\n";
    const std::size_t firstValue = whole.find("1");
    const std::size_t secondValue = whole.find("22");
    test::TempDirectory directory;
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
        const auto path = directory.Write("cut.ini", whole.substr(0, cut));
        EXPECT_EQ(ReadProfileString(path, "A", "first", "<default>", kBuffer),
                  LeftOfValue(whole, cut, firstValue, 1));
        EXPECT_EQ(ReadProfileString(path, "A", "second", "<default>", kBuffer),
                  LeftOfValue(whole, cut, secondValue, 2));
    }
}

TEST(ProfileFileRobustness, ZeroBytesAndBytesThatAreNoUtf8AreOrdinaryBytes) {
    using namespace std::string_literals;
    const std::string text =
        "[A]\nk=a\0b\n\xFF\xFE\0\x80\nu=\xC3\x28\xE2\x82\xFF\nbad\0key=y\n[\xFF]\nz=1\n[B]\nlast=z\n"s;
    EXPECT_EQ(Get(text, "A", "k"), "a\0b"s);
    EXPECT_EQ(Get(text, "A", "u"), "\xC3\x28\xE2\x82\xFF");
    EXPECT_EQ(Get(text, "A", "bad"), "<default>");
    EXPECT_EQ(Get(text, "A", "badkey"), "<default>");
    EXPECT_EQ(Get(text, "\xFF", "z"), "1");
    EXPECT_EQ(Get(text, "B", "last"), "z");
}

TEST(ProfileFileRobustness, ArbitraryBytesNeverBreakTheReader) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "[]=;'\"\r\n \tAk";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            text += (i % 2 == 0) ? static_cast<char>(byte(random)) : alphabet[pick(random)];
        }
        const ProfileFile profile(text);
        for (std::size_t bufferSize : {std::size_t{0}, std::size_t{1}, std::size_t{16}}) {
            EXPECT_LT(profile.GetString("A", "k", "default", bufferSize).size(),
                      std::max<std::size_t>(bufferSize, 1));
        }
    }
}

}  // namespace
}  // namespace tessaly
