#include "topics/news.h"
#include "topics/topic_table.h"

#include "app/globals.h"
#include "run/download_run.h"
#include "pages/page_files.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/http_server.h"
#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tp {
namespace {

using test::HttpServer;
using test::RecordingRunView;
using test::TempHome;

const std::string kPagePath = "xml/news.xml";

std::string ReadPage(const std::string& path) {
    std::string page;
    EXPECT_TRUE(ReadTextFile(path, page, 1 << 20)) << path;
    return page;
}

// The numbers that pattern's group captures in text, in order: card ids with
// kCardId, link targets with kLinkTarget.
const std::regex kCardId("<Card ID=\"([0-9]+)\">");
const std::regex kLinkTarget("<a href=\"#([0-9]+)\">");
std::vector<int> Numbers(const std::string& text, const std::regex& pattern) {
    std::vector<int> numbers;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        numbers.push_back(std::stoi((*it)[1]));
    }
    return numbers;
}

class NewsTopicTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"cfg/news.txt", "cfg/news.xmt"}) {
            std::string bytes;
            ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + name, bytes));
            home_.WriteFile(name, bytes);
        }
        settings_.general.intelliSynch = false;
        settings_.general.timeZone = false;
        settings_.main.news.download = true;
        SelectCategories(false, false, false);
    }

    void SelectCategories(bool world, bool tech, bool sport) {
        settings_.main.news.world = g_newsCategories[kNewsWorld] = world;
        settings_.main.news.tech = g_newsCategories[kNewsTechnology] = tech;
        settings_.main.news.sport = g_newsCategories[kNewsSport] = sport;
    }
    void SetLanguages(int language) {
        settings_.main.news.worldLang = settings_.main.news.techLang = language;
        settings_.main.news.sportLang = language;
    }

    TempHome home_;
    Settings settings_;
};

// Every category of both languages from the recorded pages, through the
// provider's routes and the default tags, against the expected page.
TEST_F(NewsTopicTest, RecordedPagesGiveTheExpectedPages) {
    test::RunningProvider provider;
    provider.UseForEveryAddress();

    const struct {
        const char* golden;
        int language;
        std::vector<int> ids;
    } rows[] = {
        {"news_page_english.xml", 0,
         {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 201, 202, 203, 204, 205, 206, 207,
          208, 209, 210, 211, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311}},
        {"news_page_french.xml", 1,
         {101, 102, 103, 104, 105, 106, 107, 108, 201, 202, 203, 204, 205, 206, 207, 301, 303, 305,
          307, 309, 311}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.golden);
        SelectCategories(true, true, true);
        SetLanguages(row.language);
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::News), settings_, Fetcher(), kPagePath)) << g_lastError;

        std::string page = ReadPage(kPagePath);
        EXPECT_EQ(Numbers(page, kCardId), row.ids);
        // The date line is the one part that changes from run to run.
        page = std::regex_replace(page, std::regex("<SubTitle>[^<]*</SubTitle>"),
                                  "<SubTitle>DATE</SubTitle>");
        const std::string goldenPath = std::string(TIDEPOST_SOURCE_DIR "/tests/data/") + row.golden;
        if (std::getenv("TIDEPOST_UPDATE_GOLDEN")) WriteTextFile(goldenPath, page);
        EXPECT_EQ(page, ReadPage(goldenPath));
    }
}

TEST_F(NewsTopicTest, PageListsSelectedCategoriesWithTheirItemsInOrder) {
    const struct {
        const char* name;
        bool world, tech, sport;
        std::vector<int> ids;
        std::vector<int> index;
    } rows[] = {
        {"all three", true, true, true, {101, 102, 103, 201, 202, 203, 301, 303, 305}, {101, 201, 301}},
        {"technology alone", false, true, false, {201, 202, 203}, {201}},
        {"world and sport", true, false, true, {101, 102, 103, 301, 303, 305}, {101, 301}},
    };
    NewsTexts texts;
    for (int c = 0; c < kNewsCategoryCount; ++c) {
        const std::vector<int> ids =
            c == kNewsSport ? std::vector<int>{303, 305} : std::vector<int>{102 + 100 * c, 103 + 100 * c};
        for (const int id : ids) {
            ASSERT_TRUE(AddNewsEntry(texts.categories[c], id, {"Item " + std::to_string(id), "text"}));
        }
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SelectCategories(row.world, row.tech, row.sport);
        ASSERT_TRUE(BuildNewsPage(kPagePath, texts, settings_)) << g_lastError;
        const std::string page = ReadPage(kPagePath);
        EXPECT_EQ(Numbers(page, kCardId), row.ids);

        const std::size_t indexEnd = page.find("<Card ");
        ASSERT_NE(indexEnd, std::string::npos);
        EXPECT_EQ(Numbers(page.substr(0, indexEnd), kLinkTarget), row.index);
        if (row.sport) {
            EXPECT_NE(page.find("<Title>Sport News</Title>\n</Header>\n<Body>\n<Text><p>"
                                "<a href=\"#303\">Item 303</a><br/>\n<a href=\"#305\">Item 305</a><br/>\n"
                                "</p></Text>"),
                      std::string::npos);
        }
    }
}

// Items too large for a category or for the page are shortened or left out,
// and a category card never links to a card that did not make it.
TEST_F(NewsTopicTest, OversizedItemsKeepThePageWithinItsCapacity) {
    NewsCategoryTexts world;
    const std::string body = std::string(29990, 'w') + "<br/>\n";
    EXPECT_TRUE(AddNewsEntry(world, 102, {"First", body}));
    EXPECT_FALSE(AddNewsEntry(world, 103, {"Second", body}));
    EXPECT_FALSE(AddNewsEntry(world, 104, {"Third", body}));
    ASSERT_EQ(world.entries.size(), 2u);
    EXPECT_LT(world.entries[1].item.body.size(), body.size());
    EXPECT_LE(world.ItemCards().size(), kNewsCategoryCapacity - 1);
    EXPECT_EQ(world.ItemCards().size(), world.cardsLength);
    EXPECT_EQ(world.LinkList().size(), world.linksLength);

    // The page: world whole, technology's item shortened to the room left,
    // sport left out with its index link once not even its card fits.
    NewsTexts texts;
    ASSERT_TRUE(AddNewsEntry(texts.categories[kNewsWorld], 102, {"First", body}));
    ASSERT_TRUE(AddNewsEntry(texts.categories[kNewsTechnology], 202, {"Tech", body}));
    ASSERT_TRUE(AddNewsEntry(texts.categories[kNewsSport], 302, {"Small", "short"}));
    SelectCategories(true, true, true);
    ASSERT_TRUE(BuildNewsPage(kPagePath, texts, settings_)) << g_lastError;

    const std::string page = ReadPage(kPagePath);
    EXPECT_EQ(Numbers(page, kCardId), (std::vector<int>{101, 102, 201, 202}));
    EXPECT_EQ(Numbers(page, kLinkTarget), (std::vector<int>{101, 201, 102, 202}));
    const std::size_t cardsStart = page.find("<Card ");
    const std::size_t cardsEnd = page.rfind("</Card>\n") + 8;
    EXPECT_EQ(cardsEnd - cardsStart, kNewsPageCapacity - 1);
    const std::size_t techText = page.find("<Text><p>", page.find("<Card ID=\"202\">"));
    EXPECT_LT(page.find("</p>", techText) - techText, body.size());
}

struct RunCase {
    const char* name;
    std::map<std::string, std::string> pages;  // world, tech and sport paths
    std::string statusEnd;                      // after the "in progress" text
    bool sportFetched;
};

// The run's news step against a local server: what it shows, and that a failing
// category stops the step before the categories after it.
TEST_F(NewsTopicTest, RunShowsTheNewsStepAndStopsAtTheFirstFailingCategory) {
    HttpServer server;
    ASSERT_TRUE(SetCustomString(106, server.url("/world")));
    ASSERT_TRUE(SetCustomString(107, server.url("/tech")));
    ASSERT_TRUE(SetCustomString(108, server.url("/sport")));
    for (const int tag : {111, 112, 113}) ASSERT_TRUE(SetCustomString(tag, "TAG"));
    // World reads from its first item; technology and sport drop a picture first.
    const std::string good = "TAG\n[1]Headline (W)\ndate\ntext\n[2]";
    const std::string picture = "TAG\n[1][2]\nphoto\n[3]Headline (W)\ndate\ntext\n[4]";
    const RunCase rows[] = {
        {"every category answers",
         {{"/world", good}, {"/tech", picture}, {"/sport", picture}},
         "", true},
        {"the technology page lacks its tag",
         {{"/world", good}, {"/tech", "no marker here"}, {"/sport", picture}},
         "HTML error: news tag 'TAG' not found", false},
        {"the technology page ends inside its first item",
         {{"/world", good}, {"/tech", "TAG\n[1][2]\nphoto\n[3]Head\ncut"}, {"/sport", picture}},
         "HTML error: no news item after tag 'TAG'", false},
    };
    for (const RunCase& row : rows) {
        SCOPED_TRACE(row.name);
        server.Clear();
        server.Serve(row.pages);
        std::remove(kPagePath.c_str());
        SelectCategories(true, true, true);
        // One fetch at a time: a run fetching ahead asks for the sport page
        // before it knows that it will not need it.
        settings_.general.maxFetches = 1;
        RecordingRunView view;
        const RunOutcome outcome = RunDownload(settings_, view);

        const std::string inProgress = "Download \"" + kPagePath + "\" in progress...";
        EXPECT_TRUE(view.Has("status " + inProgress + row.statusEnd));
        bool sportAsked = false;
        for (const auto& request : server.Requests()) sportAsked |= request.path == "/sport";
        EXPECT_EQ(sportAsked, row.sportFetched);
        EXPECT_EQ(outcome.AllPagesWritten(), row.statusEnd.empty());
        EXPECT_EQ(home_.Exists(kPagePath), row.statusEnd.empty());
    }
}

// Each news download starts from empty category texts: a second run shows
// only what the second fetch brought.
TEST_F(NewsTopicTest, SecondRunCarriesNothingOverFromTheFirst) {
    HttpServer server;
    ASSERT_TRUE(SetCustomString(106, server.url("/world")));
    ASSERT_TRUE(SetCustomString(111, "TAG"));
    SelectCategories(true, false, false);
    settings_.main.news.nbNews = 3;

    const struct {
        const char* headline;
        const char* absent;
    } runs[] = {{"Alpha", "Beta"}, {"Beta", "Alpha"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.headline);
        server.Serve("/world", std::string("TAG\n[1]") + run.headline + "\nd\n[2]");
        RecordingRunView view;
        ASSERT_TRUE(RunDownload(settings_, view).AllPagesWritten()) << view.LastStatus();
        const std::string page = ReadPage(kPagePath);
        EXPECT_NE(page.find(run.headline), std::string::npos);
        EXPECT_EQ(page.find(run.absent), std::string::npos);
        EXPECT_EQ(Numbers(page, kCardId), (std::vector<int>{101, 102}));
    }
}

}  // namespace
}  // namespace tp
