// A whole run that feeds a topic from an HTML page through the built-in conversion.
#include "run/download_run.h"

#include "app/globals.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/run/recording_run_view.h"
#include "tests/run/weather_setup.h"

#include <gtest/gtest.h>

#include <regex>

namespace tp {
namespace {

// A forecast page as a provider writes it today: markup, styles, scripts and
// UTF-8, with no text layout of its own.
const char kForecastPage[] = R"(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Springfield</title>
<style>.day { font-weight: bold }</style><script>track("forecast");</script></head>
<body><nav><a href="/">Home</a> <a href="/radar">Radar</a></nav>
<h2>Forecast for Springfield</h2>
<div class="day"><b>Monday</b> Sunny <span>75&deg;</span></div>
<div class="night"><b>Monday night</b> Clear <span>55°</span> 10%</div>
<div class="day"><b>Tuesday</b> Showers <span>68&deg;</span></div>
<div class="night"><b>Tuesday night</b> Rain <span>50°</span> 80%</div>
<div class="day"><b>Wednesday</b> Cloudy</div>
</body></html>)";

TEST(LocalConversionRun, AnHtmlPageFeedsTheWeatherCard) {
    test::TempHome home;
    test::HttpServer server;
    test::PrepareWeatherTopic(home, server, "");
    if (::testing::Test::HasFatalFailure()) return;
    server.Serve("/forecast/62701", kForecastPage, "text/html");
    server.Serve("/forecast/62702", std::string(kForecastPage) + std::string(100000, ' '), "text/html");
    // The address names the page through the conversion path; the host of the
    // service is never asked (nothing answers there).
    ASSERT_TRUE(SetCustomString(104, "http://127.0.0.1:1/cgi-bin/html2txt?url=http%3A%2F%2F127.0.0.1%3A" +
                                         std::to_string(server.port()) + "%2Fforecast%2F%s&noinlinerefs=on"));
    ASSERT_TRUE(SetCustomString(171, "Forecast for Springfield"));

    Settings settings;
    settings.general.localConversion = true;
    settings.general.intelliSynch = false;
    settings.main.weather.download = true;
    settings.main.weather.zip = "62701";
    settings.main.weather.forecastUsa = 2;
    test::RecordingRunView view;
    const RunOutcome outcome = RunDownload(settings, view);
    ASSERT_TRUE(outcome.AllPagesWritten()) << g_lastError;

    const std::string page = FromTextModeBytes(home.ReadFile(test::kWeatherPageFile));
    EXPECT_NE(page.find("High / Low(\xB0"
                        "F) - Precip. %<br/><br/>\n"
                        "Monday Sunny 75\xB0 Monday night Clear 55\xB0 10%<br/>"
                        "Tuesday Showers 68\xB0 Tuesday night Rain 50\xB0 80%<br/>"),
              std::string::npos)
        << page;
    EXPECT_EQ(server.LastRequest().path, "/forecast/62701");

    // Pages converted ahead and side by side make the same page, and the same
    // raw copy, as pages converted one at a time.
    g_debug = true;
    settings.main.weather.zip = "62701,62702,62701";
    std::string pages[2];
    std::string copies[2];
    for (const int fetches : {1, 16}) {
        settings.general.maxFetches = fetches;
        ASSERT_TRUE(RunDownload(settings, view).AllPagesWritten()) << g_lastError;
        // The date line's clock may turn between the runs.
        pages[fetches > 1] = std::regex_replace(home.ReadFile(test::kWeatherPageFile),
                                                std::regex("[0-9]{1,2}(h|:)[0-9]{2}"), "hh:mm");
        copies[fetches > 1] = home.ReadFile("download.txt");
    }
    g_debug = false;
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_EQ(copies[0], copies[1]);
}

// The sample provider's three feeds, one of each kind, as news sources: the
// world source reads from the first entry on, the US technology and sport
// sources drop the first (here the feed's own entry), so each category gets
// the feed's first headlines. The RSS 2.0 feed is filled to 500 items.
TEST(LocalConversionRun, FeedsOfEachKindFeedTheNewsCards) {
    test::TempHome home;
    test::HttpServer server;
    for (const char* name : {"news.txt", "news.xmt"}) {
        std::string bytes;
        ASSERT_TRUE(ReadBinaryFile(test::SourceDataFolder() + "cfg/" + name, bytes)) << name;
        home.WriteFile(std::string("cfg/") + name, bytes);
    }
    const std::string feeds = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/feeds/";
    std::string rss2, rss1, atom;
    ASSERT_TRUE(ReadBinaryFile(feeds + "world_rss2.xml", rss2));
    ASSERT_TRUE(ReadBinaryFile(feeds + "tech_rss1.xml", rss1));
    ASSERT_TRUE(ReadBinaryFile(feeds + "sport_atom.xml", atom));
    std::string filler;
    for (int i = 0; i < 495; ++i) {
        filler += "<item><title>Filler " + std::to_string(i) + "</title><link>http://f.example/" + std::to_string(i) +
                  "</link><description>Words &amp; more</description></item>\n";
    }
    rss2.insert(rss2.rfind("</channel>"), filler);
    server.Serve("/world.rss", rss2, "application/rss+xml");
    server.Serve("/tech.rdf", rss1, "application/xml");  // known by its root element
    server.Serve("/sport.atom", atom, "application/atom+xml; charset=utf-8");
    const std::string service = "http://127.0.0.1:1/cgi-bin/html2txt?url=http%3A%2F%2F127.0.0.1%3A" +
                                std::to_string(server.port()) + "%2F";
    ASSERT_TRUE(SetCustomString(106, service + "world.rss&noinlinerefs=on"));
    ASSERT_TRUE(SetCustomString(107, service + "tech.rdf&noinlinerefs=on"));
    ASSERT_TRUE(SetCustomString(108, service + "sport.atom&noinlinerefs=on"));
    for (const int tag : {111, 112, 113}) ASSERT_TRUE(SetCustomString(tag, "News feed headlines"));

    Settings settings;
    settings.general.localConversion = true;
    settings.general.intelliSynch = false;
    settings.main.news.download = true;
    settings.main.news.world = settings.main.news.tech = settings.main.news.sport = true;
    settings.main.news.nbNews = 3;
    test::RecordingRunView view;
    ASSERT_TRUE(RunDownload(settings, view).AllPagesWritten()) << g_lastError;

    const std::string page = FromTextModeBytes(home.ReadFile("xml/news.xml"));
    for (const char* card : {"<Card ID=\"101\">", "<Card ID=\"102\">", "<Card ID=\"104\">", "<Card ID=\"202\">",
                             "<Card ID=\"204\">", "<Card ID=\"302\">", "<Card ID=\"304\">",
                             "<a href=\"#102\">Example World News</a>",
                             "<a href=\"#103\">Talks on fishing quotas resume after weekend break</a>",
                             "<a href=\"#202\">New chip doubles battery life of phones</a>",
                             "<a href=\"#204\">Recycling plant recovers 95 % of battery metals</a>",
                             "<a href=\"#302\">Late goal sends United through</a>",
                             "<a href=\"#304\">Ski jumping: wind stops the competition</a>",
                             "A header in the 89th minute settled the cup tie.<br/>"}) {
        EXPECT_NE(page.find(card), std::string::npos) << card << "\n" << page;
    }
    EXPECT_EQ(page.find("<Card ID=\"105\">"), std::string::npos);
    EXPECT_EQ(page.find("Articles precedents"), std::string::npos);
}

}  // namespace
}  // namespace tp
