// The whole stocks topic against a local server: fetch, cut and page.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "topics/topic_table.h"
#include "app/paths.h"
#include "topics/stocks.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"
#include "tests/topics/stocks_pages.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using test::HistoryPage;
using test::QuoteBody;
using test::QuotePage;

const char kPageFile[] = "xml/stocks.xml";
const std::string kTagMissingCard =
    "Exchange rate not available: HTML error: tag '(td)(font face='Verdana' size='-1')' not found<br/>";

struct Card {
    int id;
    std::string title;
    std::string body;
};

// The cards of a page in order, read between their fixed opening and closing lines.
std::vector<Card> CardsOf(const std::string& page) {
    const std::string open = "<Card ID=\"";
    const std::string title = "\">\n<Header>\n<Title>";
    const std::string body = "</Title>\n</Header>\n<Body>\n<Text><p>";
    const std::string close = "</p></Text>\n</Body>\n</Card>\n";
    std::vector<Card> cards;
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
        const std::size_t titleAt = page.find(title, at);
        const std::size_t bodyAt = page.find(body, titleAt);
        const std::size_t closeAt = page.find(close, bodyAt);
        if (titleAt == std::string::npos || bodyAt == std::string::npos || closeAt == std::string::npos) {
            ADD_FAILURE() << "broken card at " << at;
            break;
        }
        cards.push_back({std::stoi(page.substr(at + open.size())),
                         page.substr(titleAt + title.size(), bodyAt - titleAt - title.size()),
                         page.substr(bodyAt + body.size(), closeAt - bodyAt - body.size())});
        at = closeAt + close.size();
    }
    return cards;
}

// The index links of a page as "<id> <title>".
std::vector<std::string> LinksOf(const std::string& page) {
    const std::string open = "<a href=\"#";
    std::vector<std::string> links;
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
        const std::size_t idEnd = page.find("\">", at);
        const std::size_t titleEnd = page.find("</a><br/>\n", idEnd);
        links.push_back(page.substr(at + open.size(), idEnd - at - open.size()) + " " +
                        page.substr(idEnd + 2, titleEnd - idEnd - 2));
    }
    return links;
}

// Day lines of a rates table (every "<br/>" but the header's two).
std::size_t DaysIn(const std::string& body) {
    std::size_t breaks = 0;
    for (std::size_t at = body.find("<br/>"); at != std::string::npos; at = body.find("<br/>", at + 1)) ++breaks;
    return breaks - 2;
}

std::vector<std::string> TargetsOf(const test::HttpServer& server) {
    std::vector<std::string> targets;
    for (const test::RecordedRequest& request : server.Requests()) targets.push_back(request.target);
    return targets;
}

// An address on 127.0.0.1 where nothing listens any more.
std::string ClosedAddress(const std::string& path) {
    test::HttpServer gone;
    return gone.url(path);
}

class StocksTopicTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PrepareStocksTopic(home, server, {{"IBM", QuotePage("IBM")},
                                                {"MSFT", QuotePage("MSFT")},
                                                {"ORCL", QuotePage("ORCL")}});
        server.Serve("/d/USD/EUR/data30.html", HistoryPage());
        server.Serve("/d/EUR/USD/data30.html", HistoryPage({{30, "0.9"}}));
        settings.main.stocks.download = true;
        settings.main.stocks.xRateDays = 2;
        g_totalSize = 0;
    }

    bool Download() { return DownloadTopic(TopicOf(TopicId::Stocks), settings, Fetcher(), home.path() + kPageFile); }
    std::string Page() const { return FromTextModeBytes(home.ReadFile(kPageFile)); }

    test::TempHome home;
    test::HttpServer server;
    Settings settings;
};

TEST_F(StocksTopicTest, PairsComeFirstThenSymbolsEachInListOrder) {
    settings.main.stocks.xRate = "USD/EUR,,EUR/USD,";
    settings.main.stocks.symbols = ",IBM,MSFT,ORCL";
    ASSERT_TRUE(Download()) << g_lastError;

    EXPECT_EQ(TargetsOf(server),
              (std::vector<std::string>{"/d/USD/EUR/data30.html", "/d/EUR/USD/data30.html",
                                        "/q?s=IBM&d=v1", "/q?s=MSFT&d=v1", "/q?s=ORCL&d=v1"}));
    const std::string page = Page();
    EXPECT_EQ(g_totalSize, page.size());
    EXPECT_NE(page.find("<Title>Stocks</Title>"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</Card>\n</Tidepost>\n")) << page.substr(page.size() - 40);
    EXPECT_EQ(LinksOf(page), (std::vector<std::string>{"101 USD/EUR", "102 EUR/USD", "103 IBM",
                                                         "104 MSFT", "105 ORCL"}));

    const std::vector<Card> cards = CardsOf(page);
    ASSERT_EQ(cards.size(), 5u);
    const std::vector<std::string> titles = {"USD/EUR", "EUR/USD", "IBM", "MSFT", "ORCL"};
    const std::vector<std::string> bodies = {
        "USD to 1 EUR, Last 2 days<br/><br/>[2026-11-30] 1.03000 USD<br/>[2026-11-29] 1.02900 USD<br/>",
        "EUR to 1 USD, Last 2 days<br/><br/>[2026-11-30] 0.90000 EUR<br/>[2026-11-29] 1.02900 EUR<br/>",
        QuoteBody("IBM"), QuoteBody("MSFT"), QuoteBody("ORCL")};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cards[i].id, 101 + static_cast<int>(i));
        EXPECT_EQ(cards[i].title, titles[i]);
        EXPECT_EQ(cards[i].body, bodies[i]);
    }
}

TEST_F(StocksTopicTest, AFailedPairKeepsItsCardSayingWhyAndTheTopicGoesOn) {
    server.Serve("/d/GBP/JPY/data30.html", "<html>Service unavailable</html>");
    settings.main.stocks.xRate = "USD/EUR,GBP/JPY,USDEUR,EUR/CHF";
    settings.main.stocks.symbols = "IBM";
    ASSERT_TRUE(Download()) << g_lastError;

    // The malformed pair is not asked for; the unknown one is answered 404.
    EXPECT_EQ(TargetsOf(server),
              (std::vector<std::string>{"/d/USD/EUR/data30.html", "/d/GBP/JPY/data30.html",
                                        "/d/EUR/CHF/data30.html", "/q?s=IBM&d=v1"}));
    const std::vector<Card> cards = CardsOf(Page());
    ASSERT_EQ(cards.size(), 5u);
    EXPECT_TRUE(cards[0].body.starts_with("USD to 1 EUR, Last 2 days"));
    EXPECT_EQ(cards[1].title, "GBP/JPY");
    EXPECT_EQ(cards[1].body, kTagMissingCard);
    EXPECT_EQ(cards[2].title, "USDEUR");
    EXPECT_EQ(cards[2].body,
              "Exchange rate not available: Exchange rate error: 'USDEUR' is not a currency pair "
              "such as USD/EUR<br/>");
    EXPECT_EQ(cards[3].title, "EUR/CHF");
    EXPECT_EQ(cards[3].body, kTagMissingCard);
    EXPECT_EQ(cards[4].body, QuoteBody("IBM"));
}

TEST_F(StocksTopicTest, AnUnreachableRatesProviderStillGivesEveryPairItsCard) {
    ASSERT_TRUE(SetCustomString(kRatesAddress, ClosedAddress("/d/%s/data30.html")));
    settings.main.stocks.xRate = "USD/EUR,EUR/USD";
    ASSERT_TRUE(Download()) << g_lastError;

    const std::vector<Card> cards = CardsOf(Page());
    ASSERT_EQ(cards.size(), 2u);
    for (const Card& card : cards) {
        SCOPED_TRACE(card.title);
        EXPECT_TRUE(card.body.starts_with("Exchange rate not available: InternetOpenUrl Error: "))
            << card.body;
    }
}

TEST_F(StocksTopicTest, AFailedSymbolFailsTheTopicWithoutAPage) {
    const struct {
        const char* name;
        std::string quoteAddress;  // empty: the local server
        std::string message;
        std::vector<std::string> targets;
    } cases[] = {
        {"the second symbol's page lacks the tag", "", "HTML error: tag 'Last Trade' not found",
         {"/d/USD/EUR/data30.html", "/q?s=IBM&d=v1", "/q?s=NOPE&d=v1"}},
        {"the quote service cannot be reached", ClosedAddress("/q?s=%s"), "InternetOpenUrl Error: ",
         {"/d/USD/EUR/data30.html"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Clear();
        test::PrepareStocksTopic(home, server, {{"IBM", QuotePage("IBM")}, {"ORCL", QuotePage("ORCL")}});
        server.Serve("/d/USD/EUR/data30.html", HistoryPage());
        if (!c.quoteAddress.empty()) {
            ASSERT_TRUE(SetCustomString(kQuoteAddress, c.quoteAddress));
        }
        settings.main.stocks.xRate = "USD/EUR";
        settings.main.stocks.symbols = "IBM,NOPE,ORCL";
        g_totalSize = 7;

        EXPECT_FALSE(Download());
        EXPECT_TRUE(g_lastError.starts_with(c.message)) << g_lastError;
        EXPECT_EQ(TargetsOf(server), c.targets);
        EXPECT_FALSE(home.Exists(kPageFile));
        EXPECT_EQ(g_totalSize, 7u);
    }
}

TEST_F(StocksTopicTest, ABrokenFrameFailsBeforeAnyFetch) {
    const struct {
        const char* name;
        const char* icon;
        const char* templateText;  // nullptr: the file is missing
        std::string message;
    } cases[] = {
        {"missing template", "stocks.txt", nullptr,
         "Error: Enable to read file '" + GetCfgFolder() + "stocks.xmt'"},
        {"template without placeholders", "stocks.txt", "<Tidepost></Tidepost>",
         "Template error: in 'stocks.xmt'"},
        {"missing icon", "absent.txt", "%s%s%s%s%s", "Error: Enable to read file '" + GetCfgFolder() + "absent.txt'"},
    };
    settings.main.stocks.xRate = "USD/EUR";
    settings.main.stocks.symbols = "IBM";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings.main.stocks.icon = c.icon;
        std::remove((home.path() + "cfg/stocks.xmt").c_str());
        if (c.templateText) home.WriteFile("cfg/stocks.xmt", c.templateText);
        EXPECT_FALSE(Download());
        EXPECT_EQ(g_lastError, c.message);
        EXPECT_TRUE(server.Requests().empty());
        EXPECT_FALSE(home.Exists(kPageFile));
    }
}

TEST_F(StocksTopicTest, BeyondFiftyItemsNothingIsFetchedAndOverlongCardsGiveWayByWholeLines) {
    // 48 euro pairs of 30 days with the old currency need more room than the
    // page's cards have; two symbols fill the 50 slots and three are left out.
    ASSERT_TRUE(ini::WriteString(GetIniPath(), "Stocks", "OldEuroSymb", "FRF"));
    ASSERT_TRUE(ini::WriteString(GetIniPath(), "Stocks", "OldEuroRate", "6.55957"));
    settings.main.stocks.xRateDays = 30;
    std::vector<std::string> titles;
    for (int i = 0; i < 48; ++i) {
        const std::string currency = "C" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        server.Serve("/d/EUR/" + currency + "/data30.html", HistoryPage());
        settings.main.stocks.xRate += "EUR/" + currency + ",";
        titles.push_back("EUR/" + currency);
    }
    settings.main.stocks.symbols = "IBM,MSFT,ORCL,S03,S04";
    titles.push_back("IBM");
    titles.push_back("MSFT");
    ASSERT_TRUE(Download()) << g_lastError;

    const std::vector<std::string> targets = TargetsOf(server);
    ASSERT_EQ(targets.size(), 50u);
    EXPECT_EQ(targets.back(), "/q?s=MSFT&d=v1");

    const std::string page = Page();
    const std::vector<Card> cards = CardsOf(page);
    ASSERT_EQ(cards.size(), 50u);
    EXPECT_EQ(LinksOf(page).size(), 50u);
    const std::size_t cardsStart = page.find("<Card ID=\"101\">");
    const std::size_t cardsEnd = page.rfind("</Card>\n") + 8;
    EXPECT_LT(cardsEnd - cardsStart, kStocksCardsCapacity);
    // A whole table holds 23 days (1,002 characters). The room left by the
    // quotes and the card frames, shared alike, leaves 958 characters a
    // table: 21 days each, the oldest two given up.
    for (std::size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(titles[i]);
        EXPECT_EQ(cards[i].id, 101 + static_cast<int>(i));
        EXPECT_EQ(cards[i].title, titles[i]);
        if (i < 48) {
            EXPECT_TRUE(cards[i].body.starts_with(titles[i].substr(0, 3) + " to 1 " + titles[i].substr(4) +
                                                  ", Last 30 days<br/><br/>[2026-11-30] 1.03000 EUR, "
                                                  "6.75636 FRF<br/>"))
                << cards[i].body;
            EXPECT_TRUE(cards[i].body.ends_with(" FRF<br/>")) << cards[i].body;
            EXPECT_EQ(DaysIn(cards[i].body), 21u);
        } else {
            EXPECT_EQ(cards[i].body, QuoteBody(titles[i]));
        }
    }
}

}  // namespace
}  // namespace tp
