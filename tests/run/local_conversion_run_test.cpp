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

}  // namespace
}  // namespace tp
