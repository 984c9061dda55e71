#include "topics/news.h"

#include "app/globals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tp {
namespace {

struct Expected {
    std::string title;
    std::string body;
};

struct WalkCase {
    const char* name;
    std::string text;
    std::string tag;
    bool skipFirst;
    int nbNews;
    std::vector<Expected> items;
    std::string error;  // checked when no item is expected
};

TEST(ExtractNews, WalksItemsAsTheHeadlineIndexesLayThemOut) {
    const WalkCase cases[] = {
        {"headline loses its agency, body gets one break then blanks",
         "]Top\n   [1]Talks resume (AFP)\n   Mon 9:12\n   First line\n   second line\n   [2]next",
         "]Top", false, 1,
         {{"Talks resume ", "Mon 9:12<br/>\nFirst line second line  <br/>\n"}}, ""},
        {"leading parentheses are dropped before the cut",
         "TAG]\n((Update) Talks (AFP)\nbody\n[2]", "TAG", false, 1,
         {{"Update) Talks ", "body<br/>\n <br/>\n"}}, ""},
        {"skip-off anchors on the next bracket and reads on after each link",
         "TAG nav [1]One (A)\nd1\n[2]Two (B)\nd2\n[3]Three\nd3\n[4]", "TAG", false, 10,
         {{"One ", "d1<br/>\n <br/>\n"}, {"Two ", "d2<br/>\n <br/>\n"}, {"Three", "d3<br/>\n <br/>\n"}},
         ""},
        {"Previous Reports after an item is passed over",
         "TAG\n[1]One\nd1\n[2]Previous Reports\n   [3]Two\nd2\n[4]", "TAG", false, 2,
         {{"One", "d1<br/>\n <br/>\n"}, {"Two", "d2<br/>\n <br/>\n"}}, ""},
        {"skip-first drops the picture item and skips Full Coverage and links",
         "Computers and Internet\n   [6][IMG]\n   Caption (Photo)\n   credit\n"
         "   [7]One (W)\n   date\n   text\n   [8]Full Coverage [9][IMG]\n"
         "   [10]Two (W)\n   date2\n   [11]Full Coverage\n",
         "Computers and Internet\n", true, 10,
         {{"One ", "date<br/>\ntext  <br/>\n"}, {"Two ", "date2<br/>\n <br/>\n"}}, ""},
        {"Articles precedents ends the list and the body where it begins",
         "TAG\n[1]One\nd1\n[2]Two\nd2\nArticles pr\xE9" "c\xE9" "dents : [3]1 [4]2", "TAG", false, 10,
         {{"One", "d1<br/>\n <br/>\n"}, {"Two", "d2<br/>\n"}}, ""},
        {"a text that ends inside the third item yields two",
         "TAG\n[1]One\nd1\n[2]Two\nd2\n[3]Three\nd3 cut sh", "TAG", false, 10,
         {{"One", "d1<br/>\n <br/>\n"}, {"Two", "d2<br/>\n <br/>\n"}}, ""},
        {"NbNews above the slots keeps ten",
         "TAG\n[1]1\n[2]2\n[3]3\n[4]4\n[5]5\n[6]6\n[7]7\n[8]8\n[9]9\n[10]10\n[11]11\n[12]12\n[13]",
         "TAG", false, 50,
         {{"1", " <br/>\n"}, {"2", " <br/>\n"}, {"3", " <br/>\n"}, {"4", " <br/>\n"},
          {"5", " <br/>\n"}, {"6", " <br/>\n"}, {"7", " <br/>\n"}, {"8", " <br/>\n"},
          {"9", " <br/>\n"}, {"10", " <br/>\n"}},
         ""},
        {"markup and accents are cleaned in title and body",
         "TAG\n[1]Caf\xE9 & \"bar\"\n<b>cr\xE8me</b> \xF3\n[2]", "TAG", false, 1,
         {{"Cafe - 'bar'", "(b)creme(/b) \xF3<br/>\n <br/>\n"}}, ""},
        {"an item without a line feed takes its text as headline and keeps it as body",
         "TAG\n[1]Lone headline (AFP) [2]", "TAG", false, 1,
         {{"Lone headline ", "Lone headline (AFP)  <br/>\n"}}, ""},
        {"a link marker that never closes ends the walk",
         "TAG\n[1]One\nd1\n[2 never closed\nmore", "TAG", false, 10,
         {{"One", "d1<br/>\n <br/>\n"}}, ""},
        {"an empty tag matches at the start", "[1]One\nd1\n[2]", "", false, 1,
         {{"One", "d1<br/>\n <br/>\n"}}, ""},
        {"a missing tag is named in the message", "[1]One\nd1\n[2]", "]Photos", false, 10, {},
         "HTML error: news tag ']Photos' not found"},
        {"a text ending inside the dropped item is a failure, not an empty success",
         "TAG\n[1][2]\nCaption\ncredit", "TAG", true, 10, {},
         "HTML error: no news item after tag 'TAG'"},
        {"a tag at the very end leaves nothing to read", "[1]One\nTAG", "TAG", false, 10, {},
         "HTML error: no news item after tag 'TAG'"},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.text;
        std::vector<NewsItem> items;
        g_lastError.clear();
        const std::size_t count = ExtractNews(text.data(), c.tag, c.skipFirst, c.nbNews, items);
        ASSERT_EQ(count, c.items.size());
        ASSERT_EQ(items.size(), c.items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(items[i].title, c.items[i].title);
            EXPECT_EQ(items[i].body, c.items[i].body);
        }
        if (c.items.empty()) {
            EXPECT_EQ(g_lastError, c.error);
        }
    }
}

TEST(ExtractNews, CleansTheFetchedTextInPlace) {
    std::string text = "TAG\n[1]Caf\xE9\n<i>\n[2]";
    std::vector<NewsItem> items;
    ASSERT_EQ(ExtractNews(text.data(), "TAG", false, 1, items), 1u);
    EXPECT_EQ(text, "TAG\n[1]Cafe\n(i)\n[2]");
}

// Items far beyond the slot's size: the body stops at its limit without half a
// line break, and the walk still finds the items after it.
TEST(ExtractNews, HugeItemsAreCutAndTheWalkGoesOn) {
    std::string line(69, 'x');
    std::string huge = "TAG\n[1]Big one\n" + std::string(300, 'h') + "\n";
    for (int i = 0; i < 1200; ++i) huge += line + "\n";
    const std::string longHeadline(70000, 'T');
    huge += "[2]After\nd2\n[3]" + longHeadline + "\nd3\n[4]";

    std::vector<NewsItem> items;
    ASSERT_EQ(ExtractNews(huge.data(), "TAG", false, 3, items), 3u);
    EXPECT_EQ(items[0].title, "Big one");
    EXPECT_LE(items[0].body.size(), kNewsBodyMax);
    EXPECT_GT(items[0].body.size(), kNewsBodyMax - line.size() - 2);
    EXPECT_EQ(items[0].body.rfind(std::string(300, 'h') + "<br/>\n", 0), 0u);
    EXPECT_EQ(items[0].body.find('<', 310), std::string::npos);
    EXPECT_EQ(items[1].title, "After");
    EXPECT_EQ(items[1].body, "d2<br/>\n <br/>\n");
    EXPECT_EQ(items[2].title, std::string(kNewsTitleMax, 'T'));
    EXPECT_EQ(items[2].body, "d3<br/>\n <br/>\n");
}

}  // namespace
}  // namespace tp
