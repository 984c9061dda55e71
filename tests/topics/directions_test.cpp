#include "topics/directions.h"
#include "topics/topic_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "run/download_run.h"
#include "pages/page_format.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"
#include "tests/support/terminated_text.h"

namespace tp {
namespace {

using test::Terminated;

const std::string kFranceStartTag = "Envoyer l'itin\xE9raire";

std::string ReadDirectionsData(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/directions/" + name, bytes)) << name;
    return bytes;
}

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

struct ExtractCase {
    const char* name;
    std::string text;
    int startTag;
    int bodyTag;
    bool found;
    std::string expected;  // the route, or the error text
};

TEST(ExtractDirections, RecordedPagesAndShortPagesGiveTheirRoutes) {
    test::TempHome home;
    const ExtractCase cases[] = {
        {"USA: paired header, body up to the next line starting with the start tag",
         ReadDirectionsData("us_sf_to_cupertino.txt"), 138, 139, true,
         ReadDirectionsData("us_sf_to_cupertino.route")},
        {"France: a break after every header line, body up to the first '['",
         ReadDirectionsData("fr_paris_to_montpellier.txt"), 150, 0, true,
         ReadDirectionsData("fr_paris_to_montpellier.route")},
        {"USA page ending inside the header", "Miles\nDriving Directions\n  From:\n1 Main St", 138,
         139, true, "From: 1 Main St<br/><br/>"},
        {"France page ending at its tag", kFranceStartTag, 150, 0, true, "<br/>"},
        {"France body without a closing link list", kFranceStartTag + "\n1\n2\n3\n4\n5\n6\n7\n8\n\nA\n  B",
         150, 0, true, "1<br/>2<br/>3<br/>4<br/>5<br/>6<br/>7<br/>8<br/><br/>A<br/>B<br/>"},
        {"no start tag", ReadDirectionsData("fr_paris_to_montpellier.txt"), 138, 139, false,
         "HTML error: tag 'Driving Directions' not found"},
        {"no body tag", "Driving Directions\nFrom:\nA\nTo:\nB\n\nDirections   Kilometres\n", 138, 139,
         false, "HTML error: tag 'Miles' not found"},
        {"no French tag", ReadDirectionsData("us_sf_to_cupertino.txt"), 150, 0, false,
         "HTML error: tag '" + kFranceStartTag + "' not found"},
    };
    for (const ExtractCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> text = Terminated(c.text);
        std::string route;
        ASSERT_EQ(ExtractDirections(text.data(), c.startTag, c.bodyTag, route), c.found) << g_lastError;
        EXPECT_EQ(c.found ? route : g_lastError, c.expected);
    }
}

TEST(ExtractDirections, LongPagesAreCutAtWholeBreaks) {
    test::TempHome home;
    const std::string longLine(70000, 'x');
    const struct {
        const char* name;
        std::string text;
        int bodyTag;
    } cases[] = {
        {"one body line longer than the text",
         kFranceStartTag + "\n1\n2\n3\n4\n5\n6\n7\n8\n\n" + longLine, 0},
        {"a header line longer than the text", "Miles\nDriving Directions\n" + longLine + "\nTo:\n", 139},
        {"many body lines", "Driving Directions\nMiles\n" + [] {
             std::string lines;
             for (int i = 0; i < 5000; ++i) lines += Format("%i. Turn left <here> & go on\n", i);
             return lines;
         }(), 139},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> text = Terminated(c.text);
        std::string route;
        ASSERT_TRUE(ExtractDirections(text.data(), c.bodyTag ? 138 : 150, c.bodyTag, route));
        EXPECT_LE(route.size(), kDirectionsTextMax);
        EXPECT_GT(route.size(), kDirectionsBodyStop - 100);
        EXPECT_TRUE(route.ends_with("<br/>"));
        // Every "<" left opens a whole break.
        EXPECT_EQ(Count(route, "<"), Count(route, "<br/>"));
    }
}

TEST(DirectionsAddress, ValuesAreEncodedForThePlannersAddress) {
    const struct {
        std::string value;
        std::string encoded;
    } cases[] = {
        {"san jose, ca", "san%2Bjose%2C%2Bca"},
        {"95118", "95118"},
        {"Caf\xE9 & \"Bar\" <1>", "Cafe%2B-%2B'Bar'%2B(1)"},
        {"Apt #4, 100%", "Apt%2B%25234%2C%2B100%2525"},
        {"1+2\t3", "1%252B2%25093"},
        {"Malm\xF6 \xF3", "Malmo%2B%25F3"},
        {"", ""},
        {std::string(130, 'a'), std::string(127, 'a')},
        // Cut before the escape that would pass the limit, never inside it.
        {std::string(50, ' '), [] {
             std::string spaces;
             for (int i = 0; i < 42; ++i) spaces += "%2B";
             return spaces;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(EncodeAddressValue(c.value), c.encoded);
    }
}

TEST(DirectionsAddress, PlaceholdersAreFilledFromThenToWhateverTheirNames) {
    test::TempHome home;
    ASSERT_TRUE(SetCustomString(149, std::string_view("http://h/fr?taddr=%s&tcsz=%s&addr=%s&csz=%s")));
    EXPECT_EQ(DirectionsUrl(149, "1%2BA", "%2525s", "2%2BB", "Lyon"),
              "http://h/fr?taddr=1%2BA&tcsz=%2525s&addr=2%2BB&csz=Lyon");
    ASSERT_TRUE(SetCustomString(137, std::string_view("http://h/us?only=%s")));
    EXPECT_EQ(DirectionsUrl(137, "a", "b", "c", "d"), "http://h/us?only=a");

    const struct {
        int country;
        int address, startTag, bodyTag;
    } sources[] = {{0, 137, 138, 139}, {1, 149, 150, 0}, {2, 137, 138, 139}, {-1, 137, 138, 139}};
    for (const auto& s : sources) {
        SCOPED_TRACE(s.country);
        const DirectionsSource source = DirectionsSourceFor(s.country);
        EXPECT_EQ(source.address, s.address);
        EXPECT_EQ(source.startTag, s.startTag);
        EXPECT_EQ(source.bodyTag, s.bodyTag);
    }
}

// The whole topic against a local server that plays both route planners.
class DownloadDirectionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"directions.txt", "directions.xmt"}) {
            std::string bytes;
            ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + "cfg/" + name, bytes));
            home.WriteFile(std::string("cfg/") + name, bytes);
        }
        ASSERT_TRUE(SetCustomString(137, server.url("/us?addr=%s&csz=%s&taddr=%s&tcsz=%s")));
        ASSERT_TRUE(SetCustomString(149, server.url("/fr?taddr=%s&tcsz=%s&addr=%s&csz=%s")));
        server.Serve("/us", ReadDirectionsData("us_sf_to_cupertino.txt"));
        server.Serve("/fr", ReadDirectionsData("fr_paris_to_montpellier.txt"));
        settings.general.intelliSynch = false;
        settings.more.directions.download = true;
    }

    // Writes the section "Directions" as a hand-edited file would hold it.
    void WriteSection(const std::string& keys) {
        home.WriteFile("cfg/Tidepost.ini", "[Customization]\n" + Customization() + "[Directions]\n" + keys);
    }
    std::string Customization() const {
        return "String137=" + server.url("/us?addr=%s&csz=%s&taddr=%s&tcsz=%s") + "\nString149=" +
               server.url("/fr?taddr=%s&tcsz=%s&addr=%s&csz=%s") + "\n";
    }
    static std::string Records(int count) {
        std::string keys;
        for (int n = 1; n <= count; ++n) {
            keys += Format("Itinary%i=Route %i\nFromAddress%i=%i Main St\nFromCity%i=Boston\n"
                           "ToAddress%i=1 Elm St\nToCity%i=Salem\n",
                           n, n, n, n, n, n, n);
        }
        return keys;
    }

    std::string PagePath() const { return home.path() + "xml/directions.xml"; }
    std::string Page() const { return FromTextModeBytes(home.ReadFile("xml/directions.xml")); }
    std::vector<std::string> Targets() const {
        std::vector<std::string> targets;
        for (const test::RecordedRequest& request : server.Requests()) targets.push_back(request.target);
        return targets;
    }

    test::TempHome home;
    test::HttpServer server;
    Settings settings;
};

TEST_F(DownloadDirectionsTest, EachItineraryBecomesACardUnderItsStoredName) {
    ASSERT_TRUE(WriteItinerary(GetIniPath(), 1,
                               {"Home & Caf\xE9", kCountryUsa, "1 Market St", "san jose, ca",
                                "1 Infinite Loop", "95014"}));
    ASSERT_TRUE(WriteItinerary(GetIniPath(), 2,
                               {"Vacances", kCountryFrance, "12 rue de Rivoli", "75001 Paris",
                                "1 place de la Com\xE9" "die", "Montpellier"}));
    g_totalSize = 0;
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Directions), settings, Fetcher(), PagePath())) << g_lastError;

    EXPECT_EQ(Targets(),
              (std::vector<std::string>{
                  "/us?addr=1%2BMarket%2BSt&csz=san%2Bjose%2C%2Bca&taddr=1%2BInfinite%2BLoop&tcsz=95014",
                  "/fr?taddr=12%2Brue%2Bde%2BRivoli&tcsz=75001%2BParis&addr=1%2Bplace%2Bde%2Bla%2BComedie"
                  "&csz=Montpellier"}));
    std::string links;
    std::string cards;
    AppendIndexLink(links, kDirectionsLinksCapacity, 101, "Home & Caf\xE9");
    AppendCard(cards, kDirectionsCardsCapacity, 101, "Home & Caf\xE9",
               ReadDirectionsData("us_sf_to_cupertino.route"));
    AppendIndexLink(links, kDirectionsLinksCapacity, 102, "Vacances");
    AppendCard(cards, kDirectionsCardsCapacity, 102, "Vacances",
               ReadDirectionsData("fr_paris_to_montpellier.route"));
    const std::string page = Page();
    EXPECT_NE(page.find("<Text><p>\n" + links + "</p></Text>"), std::string::npos) << page;
    EXPECT_NE(page.find(cards + "</Tidepost>"), std::string::npos) << page;
    EXPECT_EQ(g_totalSize, page.size());
}

TEST_F(DownloadDirectionsTest, StoredRecordsDecideWhatIsFetched) {
    struct Case {
        const char* name;
        std::string keys;
        std::vector<std::string> paths;  // of the requests, in order
        int cards;
    };
    const Case cases[] = {
        {"no itinerary: a page without cards", "", {}, 0},
        {"an empty name ends the list",
         std::regex_replace(Records(3), std::regex("Itinary2=Route 2"), "Itinary2="), {"/us"}, 1},
        {"twenty-five stored by hand: twenty fetched", Records(25), std::vector<std::string>(20, "/us"), 20},
        {"country 2, 1 and missing",
         Records(3) + "Country1=2\nCountry2=1\n", {"/us", "/fr", "/us"}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSection(c.keys);
        server.Clear();
        server.Serve("/us", ReadDirectionsData("us_sf_to_cupertino.txt"));
        server.Serve("/fr", ReadDirectionsData("fr_paris_to_montpellier.txt"));
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Directions), settings, Fetcher(), PagePath())) << g_lastError;
        std::vector<std::string> paths;
        for (const test::RecordedRequest& request : server.Requests()) paths.push_back(request.path);
        EXPECT_EQ(paths, c.paths);
        const std::string page = Page();
        EXPECT_EQ(Count(page, "<Card ID="), static_cast<std::size_t>(c.cards));
        EXPECT_EQ(Count(page, "<a href="), static_cast<std::size_t>(c.cards));
        EXPECT_NE(page.find("</Tidepost>"), std::string::npos);
    }
}

TEST_F(DownloadDirectionsTest, AFailureWritesNoPageEvenAfterGoodRoutes) {
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        std::string error;
        std::size_t requests;
    };
    const Case cases[] = {
        {"the second page lacks the body tag",
         [this] {
             server.Get("/us", [this](const httplib::Request&, httplib::Response& response) {
                 const bool first = server.Requests().size() == 1;
                 response.set_content(first ? ReadDirectionsData("us_sf_to_cupertino.txt")
                                            : "Driving Directions\nFrom:\nA\nTo:\nB\n",
                                      "text/plain");
             });
         },
         "HTML error: tag 'Miles' not found", 2},
        {"the second planner cannot be reached",
         [] {
             ASSERT_TRUE(ini::WriteString(GetIniPath(), "Directions", "Country2", "1"));
             ASSERT_TRUE(SetCustomString(149, std::string_view("http://127.0.0.1:1/fr?%s%s%s%s")));
         },
         "InternetOpenUrl Error: ", 1},
        {"no template: nothing is fetched",
         [this] { std::filesystem::remove(home.path() + "cfg/directions.xmt"); },
         "Error: Enable to read file '", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSection(Records(3));
        server.Clear();
        server.Serve("/us", ReadDirectionsData("us_sf_to_cupertino.txt"));
        c.breakIt();
        EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Directions), settings, Fetcher(), PagePath()));
        EXPECT_TRUE(g_lastError.starts_with(c.error)) << g_lastError;
        EXPECT_EQ(server.Requests().size(), c.requests);
        EXPECT_FALSE(std::filesystem::exists(PagePath()));
    }
}

TEST_F(DownloadDirectionsTest, CardsBeyondTheirCapacityEndWithoutBrokenMarkup) {
    std::string longRoute = "Driving Directions\nFrom:\nA\nTo:\nB\n\n\n\n\nMiles\n";
    for (int i = 0; i < 400; ++i) longRoute += Format("%i. Keep straight on the long road\n", i);
    server.Serve("/us", longRoute);
    WriteSection(Records(20));
    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Directions), settings, Fetcher(), PagePath())) << g_lastError;

    const std::string page = Page();
    const std::size_t cards = Count(page, "<Card ID=");
    EXPECT_GT(cards, 1u);
    EXPECT_LT(cards, 20u);
    EXPECT_EQ(Count(page, "</Card>"), cards);
    EXPECT_EQ(Count(page, "<a href="), cards);
    EXPECT_NE(page.find("</Card>\n</Tidepost>"), std::string::npos);
}

TEST_F(DownloadDirectionsTest, TheRunWritesThePageAndShowsAFailure) {
    WriteSection(Records(1));
    test::RecordingRunView view;
    RunOutcome outcome = RunDownload(settings, view);
    EXPECT_TRUE(outcome.AllPagesWritten());
    EXPECT_TRUE(view.Has("status Download \"xml/directions.xml\" in progress..."));
    EXPECT_EQ(Count(Page(), "<Card ID=\"101\">"), 1u);

    server.Serve("/us", "Not a route\n");
    settings.general.stopOnError = true;
    test::RecordingRunView failing;
    outcome = RunDownload(settings, failing);
    EXPECT_EQ(outcome.end, RunEnd::Stopped);
    EXPECT_EQ(failing.LastStatus(),
              "Download \"xml/directions.xml\" in progress...HTML error: tag 'Driving Directions' not found");
}

}  // namespace
}  // namespace tp
