#include "settings/ini_file.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tp::ini {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* title;
    std::optional<std::string> file;  // nothing: no file at all
    std::string section;
    std::string key;
    std::string def;
    std::size_t bufferSize;
    std::string expected;
};

TEST(IniGetString, FindsValuesAsThePlatformDoes) {
    const ReadCase cases[] = {
        {"UTF-8 mark before the first header is skipped", "\xEF\xBB\xBF[a]\r\nk=1\r\n[b]\r\nk=2\r\n"s, "a", "k", "d", 99, "1"},
        {"UTF-8 mark leaves later sections", "\xEF\xBB\xBF[a]\r\nk=1\r\n[b]\r\nk=2\r\n"s, "b", "k", "d", 99, "2"},
        {"8-bit bytes pass unchanged", "[s]\r\nk=\xC3\xA9\r\n"s, "s", "k", "", 99, "\xC3\xA9"},
        {"lone LF ends lines", "[s]\nk=1\n"s, "s", "k", "", 9, "1"},
        {"lone CR ends lines", "[s]\rk=1\r"s, "s", "k", "", 9, "1"},
        {"last line needs no break", "[s]\r\nk=1"s, "s", "k", "", 9, "1"},
        {"blanks around key and value", "[s]\r\n  k \t=\v v1 \r\n"s, "s", "k", "d", 99, "v1"},
        {"indented comment is not an entry", "[s]\r\n ;k=1\r\nk2=a;b#c\r\n"s, "s", "k", "d", 99, "d"},
        {"comment cannot be read by its text", "[s]\r\n ;k=1\r\n"s, "s", ";k", "d", 99, "d"},
        {"no end-of-line comments", "[s]\r\n ;k=1\r\nk2=a;b#c\r\n"s, "s", "k2", "d", 99, "a;b#c"},
        {"first = splits", "[s]\r\nk3=a=b\r\n"s, "s", "k3", "d", 99, "a=b"},
        {"bare line is never found", "[s]\r\nk\r\n"s, "s", "k", "d", 99, "d"},
        {"header name trimmed, text after ] ignored", "[ Sec A ]junk=1\r\nk=1\r\n"s, "Sec A", "k", "d", 99, "1"},
        {"text after ] is no entry", "[ Sec A ]junk=1\r\nk=1\r\n"s, "Sec A", "junk", "d", 99, "d"},
        {"header without ]", "[sec\r\nk=1\r\n"s, "sec", "k", "d", 99, "1"},
        {"entries before the first header are unreachable", "k=0\r\n[]\r\nk=1\r\n"s, "", "k", "d", 99, "1"},
        {"only entries before any header", "k=0\r\n"s, "", "k", "d", 99, "d"},
        {"names fold case, passed names lose spaces", "[Colors]\r\nBackGround=Blue\r\n"s, " colors ", "BACKGROUND",
         "d", 99, "Blue"},
        {"passed names keep TABs", "[Colors]\r\nBackGround=Blue\r\n"s, "colors", "background\t", "d", 99, "d"},
        {"first entry of a duplicate key wins", "[s]\r\nk=1\r\nk=2\r\n[s]\r\nj=3\r\n"s, "s", "k", "d", 99, "1"},
        {"only the first section of a name", "[s]\r\nk=1\r\nk=2\r\n[s]\r\nj=3\r\n"s, "s", "j", "d", 99, "d"},
        {"matching quotes removed, inner blanks kept", "[s]\r\nk=  \"  x  \"  \r\n"s, "s", "k", "", 99, "  x  "},
        {"only the outer quotes go", "[s]\r\nk=\"'x'\"\r\n"s, "s", "k", "", 99, "'x'"},
        {"mismatched quotes stay", "[s]\r\nm=\"x'\r\n"s, "s", "m", "", 99, "\"x'"},
        {"a lone quote stays", "[s]\r\nm=\"\r\n"s, "s", "m", "", 99, "\""},
        {"empty value is not the default", "[s]\r\nk=\r\n"s, "s", "k", "d", 99, ""},
        {"missing key gives the default", "[s]\r\nk=\r\n"s, "s", "x", "d", 99, "d"},
        {"missing section gives the default", "[s]\r\nk=1\r\n"s, "t", "k", "d", 99, "d"},
        {"default loses trailing spaces only", std::nullopt, "s", "k", "  a b  ", 99, "  a b"},
        {"default keeps TABs", std::nullopt, "s", "k", "\ta\t", 99, "\ta\t"},
        {"empty default", std::nullopt, "s", "k", "", 99, ""},
        {"value fits its buffer", "[section1]\r\nname1=val1\r\nname4=a\r\n"s, "section1", "name1", "", 5, "val1"},
        {"value cut to the buffer", "[section1]\r\nname1=val1\r\nname4=a\r\n"s, "section1", "name1", "", 4, "val"},
        {"no buffer, no text", "[section1]\r\nname1=val1\r\nname4=a\r\n"s, "section1", "name1", "", 0, ""},
        {"room for the zero only", "[section1]\r\nname1=val1\r\nname4=a\r\n"s, "section1", "name4", "", 1, ""},
        {"default cut too", std::nullopt, "s", "k", "default", 4, "def"},
        {"quotes go before cutting", "[s]\r\nk=\"abc\"\r\n"s, "s", "k", "", 4, "abc"},
        {"UTF-16 file holds no keys", "\xFF\xFE\r\n[s]\r\nk=v\r\n"s, "s", "k", "d", 99, "d"},
        {"big-endian UTF-16 file holds no keys", "\xFE\xFF\r\n[s]\r\nk=v\r\n"s, "s", "k", "d", 99, "d"},
        {"NULs before the first header do no harm", "Data \0 before\r\n[s]\r\nk=v\r\n"s, "s", "k", "d", 99, "v"},
    };
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.title);
        std::remove(path.c_str());
        if (c.file) home.WriteFile("t.ini", *c.file);
        EXPECT_EQ(GetString(path, c.section, c.key, c.def, c.bufferSize), c.expected);
    }
}

TEST(IniGetString, LongValuesAreHeldToTheLongestValue) {
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    for (std::size_t length : {kMaxValueLength, kMaxValueLength + 1, kMaxValueLength + 2}) {
        SCOPED_TRACE(length);
        home.WriteFile("t.ini", "[s]\r\nk=" + std::string(length, 'v') + "\r\n");
        EXPECT_EQ(GetString(path, "s", "k", "d", 1u << 20), std::string(kMaxValueLength, 'v'));
    }
}

TEST(IniGetInt, ParsesLikeThePlatform) {
    struct Case {
        const char* value;  // nullptr: key missing
        int expected;
    };
    const Case cases[] = {
        {nullptr, 7},
        {"", 7},
        {"-1", -1},
        {"+1", 1},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967297", -1},
        {"2147483648", -2147483647 - 1},
        {"42A94967297", 42},
        {"B4294967297", 0},
        {"0x1F", 31},
        {"0x1f", 31},
        {"-0x10", -16},
        {"0X1F", 0},
        {"0o17", 15},
        {"0b101", 5},
        {"0b102", 2},
        {"010", 10},
        {"\"12\"", 12},
        {"  12  ", 12},
        {"\" 12\"", 12},
        {"abc", 0},
        {"-", 0},
    };
    test::TempHome home(false);
    const std::string path = home.path() + "t.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        home.WriteFile("t.ini", c.value ? "[s]\r\nk=" + std::string(c.value) + "\r\n" : "[s]\r\n");
        EXPECT_EQ(GetInt(path, "S", "K", 7), c.expected);
    }
    EXPECT_EQ(GetInt(home.path() + "missing.ini", "s", "k", -3), -3);
}

// A file as a user might have edited it by hand: odd case, indentation, quotes,
// comments, blank lines and CR LF throughout.
TEST(IniHandEditedFile, ReadsEveryKindOfLine) {
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Settings", "StopOnError", "1"},
        {"settings", "DELETEXML", "0"},
        {"Settings", "TimeFormat", "24"},
        {"Weather", "Zip", "10001,90210"},
        {"weather", "Icon", "  my weather.txt  "},
        {"Weather", "XmlUsa", "'weather.xmt\""},
        {"Weather", "CityCode", ""},
        {"Weather", "OldKey", "(default)"},
        {"Weather", "Note", "(default)"},
        {"News", "Download", "(default)"},
        {"Customization", "String101", "http://x/?a=1;b=2#top"},
        {"Customization", "String102", "line one~line two"},
        {"Astro", "Signs", "\xE9t\xE9"},
    };
    const std::string path = TIDEPOST_SOURCE_DIR "/tests/data/ini_hand_edited.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(GetString(path, c.section, c.key, "(default)", 1024), c.expected);
    }
    EXPECT_EQ(GetInt(path, "SETTINGS", "timeformat", 1), 24);
    EXPECT_EQ(GetInt(path, "Weather", "ForecastUSA", 10), 5);
}

}  // namespace
}  // namespace tp::ini
