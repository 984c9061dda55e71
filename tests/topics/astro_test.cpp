#include "topics/astro.h"
#include "topics/topic_table.h"

#include "app/globals.h"
#include "settings/custom_store.h"
#include "settings/sign_list.h"
#include "tests/topics/topic_page_support.h"
#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tp {
namespace {

using test::CountOf;
using test::HttpServer;
using test::TempHome;
using Names = std::vector<std::string>;

const std::string kPageFile = "xml/astro.xml";
const std::string kRecordedPages = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/";

std::string RecordedHoroscopePage(const std::string& sign) {
    std::string bytes;
    EXPECT_TRUE(ReadBinaryFile(kRecordedPages + "astro/" + sign + ".txt", bytes)) << sign;
    return bytes;
}

TEST(AstroSigns, TheListIsLowerCasedSplitAndCutAtTwelve) {
    const struct {
        const char* signs;
        Names names;
    } rows[] = {
        {"Aquarius,Leo", {"aquarius", "leo"}},
        {"", {}},
        {",,Leo,,", {"leo"}},
        {"LEO", {"leo"}},
        {"Aquarius,Pisces,Aries,Taurus,Gemini,Cancer,Leo,Virgo,Libra,Scorpio,Sagittarius,"
         "Capricorn,Extra",
         {"aquarius", "pisces", "aries", "taurus", "gemini", "cancer", "leo", "virgo", "libra",
          "scorpio", "sagittarius", "capricorn"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.signs);
        EXPECT_EQ(AstroSignsToFetch(row.signs), row.names);
    }
    EXPECT_EQ(AstroTitle("leo"), "Leo");
    EXPECT_EQ(AstroTitle("sagittarius"), "Sagittarius");
    EXPECT_EQ(AstroTitle(""), "");
    EXPECT_EQ(AstroTitle(std::string(300, 'x')).size(), kAstroTitleMax);
}

class AstroTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::CopyDefaultConfig(home);
        g_totalSize = 0;
    }
    std::string Page() const { return FromTextModeBytes(home.ReadFile(kPageFile)); }

    TempHome home;
    Settings settings;
};

TEST_F(AstroTest, TheHoroscopeRunsFromAfterTheMarkerToTheNextLink) {
    ASSERT_TRUE(SetCustomString(kAstroStartMarker, std::string_view("site.example")));
    const struct {
        const char* name;
        std::string text;
        std::string horoscope;
    } rows[] = {
        {"blanks and line feeds after the marker are passed over",
         "[1]Home\nsite.example \n\n  Good day.\nRest well.\n\n   [2]Tomorrow",
         "Good day.\nRest well.\n\n   "},
        {"the first marker counts", "site.example A [1] site.example B [2]", "A "},
        {"no link after the marker: to the end", "site.example Last words", "Last words"},
        {"the marker at the very end", "text site.example", ""},
        {"markup and accents are cleaned", "site.example Caf\xE9 & <cr\xE8me> \"ok\"[",
         "Cafe - (creme) 'ok'"},
        {"a text longer than its slot is cut", "site.example " + std::string(60000, 'y'),
         std::string(kAstroTextMax, 'y')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text = row.text;
        std::string horoscope = "left over";
        ASSERT_TRUE(ExtractHoroscope(text.data(), kAstroStartMarker, horoscope));
        EXPECT_EQ(horoscope, row.horoscope);
    }

    std::string text = "no marker here [1]";
    std::string horoscope;
    EXPECT_FALSE(ExtractHoroscope(text.data(), kAstroStartMarker, horoscope));
    EXPECT_EQ(g_lastError, "HTML error: tag 'site.example' not found");
}

TEST_F(AstroTest, TwoSignsAreFetchedInListOrderAndGiveTheRecordedPage) {
    HttpServer server;
    server.Serve({{"/astro/aquarius", RecordedHoroscopePage("aquarius")},
                  {"/astro/leo", RecordedHoroscopePage("leo")}});
    ASSERT_TRUE(SetCustomString(kAstroAddress, server.url("/astro/%s")));
    settings.more.astro.signs = "Aquarius,Leo";

    ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Astro), settings, Fetcher(), kPageFile)) << g_lastError;
    const std::vector<test::RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/astro/aquarius");
    EXPECT_EQ(requests[1].target, "/astro/leo");
    const std::string written = home.ReadFile(kPageFile);
    EXPECT_EQ(test::PageWithoutDate(written), test::TestDataFile("astro_aquarius_leo_page.xml"));
    EXPECT_EQ(g_totalSize, FromTextModeBytes(written).size());
}

TEST_F(AstroTest, SignListsOfEveryLengthFetchAtMostTwelve) {
    HttpServer server;
    ASSERT_TRUE(SetCustomString(kAstroAddress, server.url("/astro/%s")));

    std::string allSigns;
    for (std::string_view entry : kZodiacSignEntries) AddSign(allSigns, entry);
    const struct {
        const char* name;
        std::string signs;
        int cards;
    } rows[] = {
        {"no sign: a page without cards", "", 0},
        {"one sign", "Virgo", 1},
        {"thirteen names edited by hand", allSigns + ",Aries", 12},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        server.Clear();
        for (const std::string& sign : AstroSignsToFetch(allSigns)) {
            server.Serve("/astro/" + sign, RecordedHoroscopePage(sign));
        }
        settings.more.astro.signs = row.signs;
        ASSERT_TRUE(DownloadTopic(TopicOf(TopicId::Astro), settings, Fetcher(), kPageFile)) << g_lastError;
        const std::string page = Page();
        EXPECT_EQ(server.Requests().size(), static_cast<std::size_t>(row.cards));
        EXPECT_EQ(CountOf(page, "<Card ID="), row.cards);
        EXPECT_EQ(CountOf(page, "<a href=\"#"), row.cards);
        EXPECT_EQ(CountOf(page, "["), 0);
    }
}

TEST_F(AstroTest, AnyFailureWritesNoPage) {
    HttpServer server;
    // Sends a head and part of a body, then drops the connection.
    test::RawServer broken("HTTP/1.1 200 OK\r\nContent-Length: 9999\r\n\r\npart",
                           test::RawServer::Ending::kReset);
    ASSERT_TRUE(SetCustomString(kAstroAddress, server.url("/astro/%s")));
    const struct {
        const char* name;
        const char* signs;
        const char* xml;
        bool leoUnreachable;
        std::size_t requests;
        std::string error;  // start of g_lastError
    } rows[] = {
        {"the marker missing from the second sign's page", "Aries,Leo", "astro.xmt", false, 2,
         "HTML error: tag 'astrology.example.com' not found"},
        {"the second sign's fetch fails", "Aries,Leo", "astro.xmt", true, 2,
         "InternetReadFile Error: "},
        {"a missing template fails before any fetch", "Aries,Leo", "none.xmt", false, 0,
         "Error: Enable to read file '"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        server.Clear();
        server.Serve("/astro/aries", RecordedHoroscopePage("aries"));
        if (row.leoUnreachable) {
            server.Get("/astro/leo", [&broken](const httplib::Request&, httplib::Response& res) {
                res.set_redirect(broken.url("/"));
            });
        } else {
            server.Serve("/astro/leo", "[1]Home\nThe horoscope moved elsewhere.\n");
        }
        settings.more.astro.signs = row.signs;
        settings.more.astro.xml = row.xml;
        EXPECT_FALSE(DownloadTopic(TopicOf(TopicId::Astro), settings, Fetcher(), kPageFile));
        EXPECT_EQ(g_lastError.rfind(row.error, 0), 0u) << g_lastError;
        EXPECT_EQ(server.Requests().size(), row.requests);
        EXPECT_FALSE(home.Exists(kPageFile));
        EXPECT_EQ(g_totalSize, 0u);
    }
}

}  // namespace
}  // namespace tp
