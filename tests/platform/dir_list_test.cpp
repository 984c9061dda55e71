#include "platform/dir_list.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(WildcardMatch, MatchesLikeWindowsPatterns) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.xml", "weather.xml", true},
        {"*.xml", "WEATHER.XML", true},
        {"*.xml", "weather.xmt", false},
        {"*.xml", ".xml", true},
        {"*.xml", "a.xml.bak", false},
        {"??zzz.xml", "emzzz.xml", true},
        {"??zzz.xml", "azzz.xml", false},
        {"??zzz.xml", "abczzz.xml", false},
        {"*.txt", "note.TXT", true},
        {"*", "", true},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " vs " + c.name);
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches);
    }
}

TEST(ListFiles, ListsMatchingRegularFilesInCaseInsensitiveOrder) {
    test::TempHome home(false);
    home.WriteFile("b.xml", "");
    home.WriteFile("A.xml", "");
    home.WriteFile("c.XML", "");
    home.WriteFile("d.txt", "");
    // Characters between "Z" and "a" sort after the letters, as NTFS lists them.
    home.WriteFile("a_b.xml", "");
    home.WriteFile("a[1].xml", "");
    home.WriteFile("AB.xml", "");
    home.WriteFile("sub.xml/inner.xml", "");  // a folder named like a page is not listed
    const auto names = ListFiles(home.path(), "*.xml");
    EXPECT_EQ(names, (std::vector<std::string>{"A.xml", "AB.xml", "a[1].xml", "a_b.xml", "b.xml", "c.XML"}));
}

TEST(ListFiles, MissingFolderListsNothing) {
    EXPECT_TRUE(ListFiles("/nonexistent-tidepost-folder/", "*").empty());
}

}  // namespace
}  // namespace tp
