#include "topics/scan.h"

#include "app/globals.h"
#include "tests/support/terminated_text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tp {
namespace {

using namespace std::string_view_literals;

TEST(MatchTagTest, ComparesByteForByteWithinTheText) {
    const struct {
        const char* description;
        std::string_view text;
        std::size_t pos;
        std::string_view tag;
        bool expected;
    } cases[] = {
        {"empty tag at the start", "abc", 0, "", true},
        {"empty tag at the end", "abc", 3, "", true},
        {"empty tag at a miss", "abc", kNotFound, "", true},
        {"exact", "Precip. % 20", 0, "Precip. %", true},
        {"no case folding", "precip. % 20", 0, "Precip. %", false},
        {"inside the text", "xxPrecip. %", 2, "Precip. %", true},
        {"tag runs past the end", "abc", 1, "bcd", false},
        {"tag longer than the rest", "abc", 2, "c ", false},
        {"at the end", "abc", 3, "a", false},
        {"zero byte in the tag is not the text's end", "ab", 1, "b\0"sv, false},
        {"line feed matches a line feed", "Internet\nNews", 0, "Internet\n", true},
        {"line feed does not match a blank", "Internet News", 0, "Internet\n", false},
        {"carriage return is an ordinary byte", "Internet\r\nNews", 0, "Internet\n", false},
        {"Latin-1 bytes", "Temp\xE9rature", 4, "\xE9r", true},
        {"a miss position", "abc", kNotFound, "a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        auto text = test::Terminated(c.text);
        EXPECT_EQ(MatchTag(text.data(), c.pos, c.tag), c.expected);
    }
}

TEST(FindTagTest, FirstMatchAtOrAfterStart) {
    const std::string_view news = "Computers and Internet news\nComputers and Internet\nstory";
    const struct {
        const char* description;
        std::string_view text;
        std::size_t start;
        std::string_view tag;
        std::size_t expected;
    } cases[] = {
        {"empty tag gives the start", "abcdef", 4, "", 4},
        {"empty tag at the end", "abcdef", 6, "", 6},
        {"lowest position wins", "aaaa", 0, "aa", 0},
        {"search begins at start", "aaaa", 1, "aa", 1},
        {"a match before start is ignored", "ab ab", 1, "ab", 3},
        {"first byte repeated before the match", "aaab", 0, "ab", 2},
        {"line feed in the tag", news, 0, "Computers and Internet\n", 28},
        {"no case folding", "PRECIP. %", 0, "Precip. %", kNotFound},
        {"tag runs past the end", "xxab", 0, "abc", kNotFound},
        {"start at the end", "abc", 3, "c", kNotFound},
        {"empty text", "", 0, "a", kNotFound},
        {"tag beginning with a zero byte", "abc", 0, "\0a"sv, kNotFound},
        {"Latin-1 bytes", "\xE9t\xE9", 1, "\xE9", 2},
        {"a miss stays a miss", "abc", kNotFound, "a", kNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        auto text = test::Terminated(c.text);
        EXPECT_EQ(FindTag(text.data(), c.start, c.tag), c.expected);
    }
}

TEST(FindAfterTagTest, PositionAfterTheTagOrTheMessage) {
    const struct {
        const char* description;
        std::string_view text;
        std::size_t pos;
        std::string_view tag;
        std::size_t expected;
        std::string message;  // empty: g_lastError untouched
    } cases[] = {
        {"found", "Rate: 1.25", 0, "Rate: ", 6, ""},
        {"found at the end", "Rate:", 0, "Rate:", 5, ""},
        {"empty tag", "Rate: 1.25", 3, "", 3, ""},
        {"not after pos", "Rate: 1.25", 1, "Rate", kNotFound, "HTML error: tag 'Rate' not found"},
        {"runs past the end", "Rate", 0, "Rate:", kNotFound, "HTML error: tag 'Rate:' not found"},
        {"format characters in the tag stay text", "abc", 0, "%s%n%d", kNotFound,
         "HTML error: tag '%s%n%d' not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        auto text = test::Terminated(c.text);
        g_lastError = "before";
        EXPECT_EQ(FindAfterTag(text.data(), c.pos, c.tag), c.expected);
        EXPECT_EQ(g_lastError, c.message.empty() ? "before" : c.message);
    }
}

TEST(FindAfterTagTest, LongTagMessageIsCut) {
    const std::string tag(3000, 't');
    auto text = test::Terminated("short");
    EXPECT_EQ(FindAfterTag(text.data(), 0, tag), kNotFound);
    EXPECT_EQ(g_lastError.size(), kLastErrorMax);
    EXPECT_EQ(g_lastError.rfind("HTML error: tag 'ttt", 0), 0u);
}

TEST(CleanCharTest, EveryByteAgainstTheTable) {
    std::map<unsigned, char> replaced = {
        {0x22, '\''}, {0x26, '-'}, {0x3C, '('}, {0x3E, ')'}, {0xC9, 'E'}, {0xD9, 'U'}, {0xDA, 'U'},
        {0xDB, 'U'},  {0xDC, 'U'}, {0xDD, 'Y'}, {0xDF, 'b'}, {0xE0, 'a'}, {0xE1, 'a'}, {0xE2, 'a'},
        {0xE3, 'a'},  {0xE4, 'a'}, {0xE6, 'a'}, {0xE7, 'c'}, {0xE8, 'e'}, {0xE9, 'e'}, {0xEA, 'e'},
        {0xEB, 'e'},  {0xEC, 'i'}, {0xED, 'i'}, {0xEE, 'i'}, {0xEF, 'i'}, {0xF1, 'n'}, {0xF4, 'o'},
        {0xF5, 'o'},  {0xF6, 'o'}, {0xF9, 'u'}, {0xFA, 'u'}, {0xFB, 'u'}, {0xFC, 'u'}, {0xFD, 'y'},
        {0xFF, 'y'},
    };
    // Control characters that XML forbids become blanks; tab, LF and CR stay.
    for (unsigned code = 1; code < 0x20; ++code) {
        if (code != '\t' && code != '\n' && code != '\r') replaced[code] = ' ';
    }
    for (unsigned code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto it = replaced.find(code);
        const char expected = it == replaced.end() ? static_cast<char>(code) : it->second;
        char text[] = {static_cast<char>(code), 'z', '\0'};
        EXPECT_EQ(CleanChar(text, 0), expected);
        EXPECT_EQ(text[0], expected);
        EXPECT_EQ(text[1], 'z');
    }
}

TEST(CleanCharTest, CleansInPlaceAlongAText) {
    auto text = test::Terminated("<b>\xE9t\xE9 & \"\xF3\"</b>");
    std::string copy;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) copy += CleanChar(text.data(), i);
    const std::string expected = "(b)ete - '\xF3'(/b)";
    EXPECT_EQ(copy, expected);
    EXPECT_EQ(std::string(text.data()), expected);
    EXPECT_EQ(CleanChar(text.data(), text.size() - 1), '\0');
}

TEST(IsNumberCharTest, DigitsAndMinusOnRequest) {
    const struct {
        char c;
        bool allowMinus;
        bool expected;
    } cases[] = {
        {'0', false, true}, {'9', true, true},  {'5', false, true},  {'/', true, false},
        {':', true, false}, {'-', false, false}, {'-', true, true}, {'+', true, false},
        {'.', true, false}, {'\0', true, false}, {'\xB2', true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.c) + (c.allowMinus ? " with minus" : " without minus"));
        EXPECT_EQ(IsNumberChar(c.c, c.allowMinus), c.expected);
    }
}

TEST(WalkTest, StopsAtTheWantedCharacterOrTheEnd) {
    using Walk = std::size_t (*)(const char*, std::size_t);
    const Walk skipBlanks = [](const char* t, std::size_t p) { return SkipBlanks(t, p); };
    const Walk skipBlanksAndLines = [](const char* t, std::size_t p) { return SkipBlanks(t, p, true); };
    const Walk stepThree = [](const char* t, std::size_t p) { return StepForward(t, p, 3); };
    const struct {
        const char* description;
        Walk walk;
        std::string_view text;
        std::size_t pos;
        std::size_t expected;
    } cases[] = {
        {"blanks", skipBlanks, "  \n x", 0, 2},
        {"blanks and line feeds", skipBlanksAndLines, "  \n x", 0, 4},
        {"a tab is no blank", skipBlanks, " \tx", 0, 1},
        {"blanks to the end", skipBlanksAndLines, " \n ", 0, 3},
        {"blanks from the end", skipBlanks, "ab", 2, 2},
        {"blanks after a miss", skipBlanks, "ab", kNotFound, kNotFound},
        {"link marker", SkipLinkMarker, "[12]Paris", 0, 4},
        {"empty link marker", SkipLinkMarker, "[]Paris", 0, 2},
        {"groups do not nest", SkipLinkMarker, "[a[b]c]d", 0, 5},
        {"unclosed link marker", SkipLinkMarker, "[12 Paris", 0, 9},
        {"link marker at the end", SkipLinkMarker, "ab", 2, 2},
        {"link marker after a miss", SkipLinkMarker, "[1]", kNotFound, kNotFound},
        {"anchor ahead", AnchorAfterBracket, "Tag [3]Film", 0, 7},
        {"anchor already there", AnchorAfterBracket, "[3]]Film", 2, 3},
        {"anchor missing", AnchorAfterBracket, "Tag Film", 0, 8},
        {"anchor as the last character", AnchorAfterBracket, "Tag]", 0, 4},
        {"anchor at the end", AnchorAfterBracket, "Tag", 3, 3},
        {"anchor after a miss", AnchorAfterBracket, "]", kNotFound, kNotFound},
        {"end of line", EndOfLine, "ab\r\ncd", 0, 3},
        {"end of line already there", EndOfLine, "ab\ncd", 2, 2},
        {"end of the last line", EndOfLine, "ab\ncd", 3, 5},
        {"end of line at the end", EndOfLine, "", 0, 0},
        {"end of line after a miss", EndOfLine, "a\n", kNotFound, kNotFound},
        {"step forward", stepThree, "abcde", 1, 4},
        {"step forward stops at the end", stepThree, "abc", 1, 3},
        {"step forward after a miss", stepThree, "abc", kNotFound, kNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        auto text = test::Terminated(c.text);
        EXPECT_EQ(c.walk(text.data(), c.pos), c.expected);
    }
}

}  // namespace
}  // namespace tp
