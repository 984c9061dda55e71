#include "run/download_run.h"

#include "app/globals.h"
#include "app/paths.h"
#include "topics/news_categories.h"
#include "platform/dir_list.h"
#include "resources/string_table.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"
#include "settings/range_checks.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <unistd.h>

namespace tp {
namespace {

using test::RecordingRunView;
using test::TempHome;
using test::ImmutableFile;

const std::string kCompletedZero = "Download successfully completed (total web content size is 0 bytes).";

// Every topic off and no synchronisation tool: a run that touches nothing
// outside the temporary folder.
Settings QuietSettings() {
    Settings settings;
    settings.general.intelliSynch = false;
    settings.general.autoExit = false;
    return settings;
}

class DownloadRunTest : public ::testing::Test {
protected:
    void SetUp() override { g_debug = false; }
    void TearDown() override { g_debug = false; }
    TempHome home;
};

TEST(TotalSizeText, SwitchesToKilobytesAt1024WithOneDecimal) {
    const struct {
        std::uint32_t bytes;
        const char* text;
    } rows[] = {
        {0, "0 bytes"},           {1023, "1023 bytes"},        {1024, "1.0 KB"},
        {1536, "1.5 KB"},         {1048576, "1024.0 KB"},      {1075, "1.0 KB"},
        {1076, "1.1 KB"},         {4294967295u, "4194304.0 KB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(FormatTotalSize(row.bytes), row.text);
    }
}

struct RefusalRow {
    const char* name;
    std::function<void(Settings&)> change;
    const char* message;  // the one event the run shows
};

TEST_F(DownloadRunTest, RefusalsShowOneMessageAndChangeNothingElse) {
    const RefusalRow rows[] = {
        {"news without a category comes before weather without codes",
         [](Settings& s) {
             s.main.news.download = true;
             s.main.weather.download = true;
         },
         "message info Missing information | Please select a news category"},
        {"weather without codes once a news category is ticked",
         [](Settings& s) {
             s.main.news.download = true;
             s.main.news.sport = true;
             s.main.weather.download = true;
             s.main.stocks.download = true;
         },
         "message info Weather information missing | Please, add the desired Area/City Code(s)"},
        {"stocks without symbols or rates, weather with city codes only",
         [](Settings& s) {
             s.main.weather.download = true;
             s.main.weather.cityCode = "FRXX0076";
             s.main.stocks.download = true;
         },
         "message info Stock information missing | Please, add the desired stocks and/or "
         "exchange rate(s)"},
        {"headlines out of range even with news off",
         [](Settings& s) { s.main.news.nbNews = 0; },
         "message exclamation Tidepost | Please enter an integer between 1 and 10."},
        {"the range check comes before the selections",
         [](Settings& s) {
             s.main.news.download = true;
             s.main.weather.forecastEuro = 6;
         },
         "message exclamation Tidepost | Please enter an integer between 1 and 5."},
        {"the first field out of range in collection order",
         [](Settings& s) {
             s.main.stocks.xRateDays = 31;
             s.main.weather.forecastUsa = 11;
         },
         "message exclamation Tidepost | Please enter an integer between 1 and 10."},
        {"rate history days",
         [](Settings& s) { s.main.stocks.xRateDays = 0; },
         "message exclamation Tidepost | Please enter an integer between 1 and 30."},
    };
    home.WriteFile("xml/weather.xml", "old page");
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        Settings settings = QuietSettings();
        settings.general.autoExit = true;
        row.change(settings);
        g_totalSize = 1234;
        RecordingRunView view;
        const RunOutcome outcome = RunDownload(settings, view);
        EXPECT_EQ(outcome.end, RunEnd::Refused);
        EXPECT_FALSE(outcome.AllPagesWritten());
        EXPECT_EQ(view.events, std::vector<std::string>{row.message});
        EXPECT_EQ(g_totalSize, 0u);
        EXPECT_TRUE(home.Exists("xml/weather.xml"));
    }
}

TEST_F(DownloadRunTest, NewsCategoriesAreTakenOnlyOnceTheNewsCheckPassed) {
    Settings settings = QuietSettings();
    settings.main.news.download = true;
    settings.main.weather.download = true;  // no codes: refused after the copy

    g_newsCategories[kNewsWorld] = g_newsCategories[kNewsTechnology] = g_newsCategories[kNewsSport] = true;
    RecordingRunView refusedByNews;
    RunDownload(settings, refusedByNews);
    EXPECT_TRUE(g_newsCategories[kNewsWorld] && g_newsCategories[kNewsTechnology] &&
                g_newsCategories[kNewsSport]);

    settings.main.news.tech = true;
    RecordingRunView refusedByWeather;
    RunDownload(settings, refusedByWeather);
    EXPECT_FALSE(g_newsCategories[kNewsWorld]);
    EXPECT_TRUE(g_newsCategories[kNewsTechnology]);
    EXPECT_FALSE(g_newsCategories[kNewsSport]);
}

TEST(MainWindowRanges, BoundsAreInclusive) {
    const struct {
        const char* name;
        std::function<void(MainSettings&)> change;
        std::optional<RangedField> field;
    } rows[] = {
        {"defaults", [](MainSettings&) {}, std::nullopt},
        {"all at their lowest",
         [](MainSettings& m) {
             m.weather.forecastUsa = m.weather.forecastEuro = m.news.nbNews = m.stocks.xRateDays = 1;
         },
         std::nullopt},
        {"all at their highest",
         [](MainSettings& m) {
             m.weather.forecastUsa = m.news.nbNews = 10;
             m.weather.forecastEuro = 5;
             m.stocks.xRateDays = 30;
         },
         std::nullopt},
        {"films are not checked", [](MainSettings& m) { m.movies.maxMovies = 200; }, std::nullopt},
        {"headlines 11", [](MainSettings& m) { m.news.nbNews = 11; }, RangedField::Headlines},
        {"europe forecast 0", [](MainSettings& m) { m.weather.forecastEuro = 0; },
         RangedField::ForecastEuro},
        {"usa forecast -1", [](MainSettings& m) { m.weather.forecastUsa = -1; },
         RangedField::ForecastUsa},
        {"rate days 31", [](MainSettings& m) { m.stocks.xRateDays = 31; }, RangedField::XRateDays},
        // Several wrong: the first in the window's order (USA forecast, headlines,
        // Europe forecast, rate days) is the one reported.
        {"europe forecast and headlines",
         [](MainSettings& m) {
             m.weather.forecastEuro = 0;
             m.news.nbNews = 0;
         },
         RangedField::Headlines},
        {"europe forecast and rate days",
         [](MainSettings& m) {
             m.stocks.xRateDays = 0;
             m.weather.forecastEuro = 6;
         },
         RangedField::ForecastEuro},
        {"headlines and usa forecast",
         [](MainSettings& m) {
             m.news.nbNews = 0;
             m.weather.forecastUsa = 11;
         },
         RangedField::ForecastUsa},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MainSettings main;
        row.change(main);
        const auto violation = CheckMainWindowRanges(main);
        ASSERT_EQ(violation.has_value(), row.field.has_value());
        if (violation) {
            EXPECT_EQ(violation->field, *row.field);
            const std::pair<int, int> bounds = *row.field == RangedField::ForecastEuro ? std::pair{1, 5}
                                               : *row.field == RangedField::XRateDays ? std::pair{1, 30}
                                                                                       : std::pair{1, 10};
            EXPECT_EQ(std::pair(violation->low, violation->high), bounds);
        }
    }
}

TEST_F(DownloadRunTest, RunWithoutTopicsWalksTheProgressAndReportsZeroBytes) {
    for (const bool debug : {false, true}) {
        SCOPED_TRACE(debug ? "debug on" : "debug off");
        g_debug = debug;
        home.WriteFile("download.txt", "last page");
        RecordingRunView view;
        const RunOutcome outcome = RunDownload(QuietSettings(), view);

        std::vector<std::string> expected = {
            "cursor on", "status Download in progress, please wait ...", "view on", "range 0..7",
            "position 0", "position 1", "position 2", "position 3", "position 4", "position 5",
            "position 6", "position 7"};
        if (!debug) expected.push_back("view off");
        expected.push_back("status " + kCompletedZero);
        expected.push_back("cursor off");
        EXPECT_EQ(view.events, expected);
        EXPECT_TRUE(outcome.AllPagesWritten());
        // The raw copy of the last page stays only for debugging.
        EXPECT_EQ(home.Exists("download.txt"), debug);
    }
}

struct CleanupRow {
    const char* name;
    bool deleteXml;
    std::vector<std::string> before;     // files in xml/
    std::vector<std::string> remaining;  // xml/ after the run, information page included
    const char* infoPage;                // "" when none is written
};

TEST_F(DownloadRunTest, CleanUpAndInformationPageNaming) {
    const CleanupRow rows[] = {
        {"delete all leaves too few pages for an information page", true,
         {"News.xml", "astro.xml", "movies.xml", "weather.xml", "abzzz.xml", "notes.txt"},
         {"notes.txt"}, ""},
        {"keeping pages names the information page after the third in byte order", false,
         {"News.xml", "astro.xml", "movies.xml", "weather.xml", "abzzz.xml", "notes.txt"},
         {"astro.xml", "movies.xml", "mozzz.xml", "News.xml", "notes.txt", "weather.xml"},
         "mozzz.xml"},
        {"three pages after the old information pages went", false,
         {"a.xml", "b.xml", "c.xml", "cdzzz.xml", "xyzzz.xml"}, {"a.xml", "b.xml", "c.xml"}, ""},
        {"a short third name gives a one-letter information page", false,
         {"ab.xml", "ac.xml", "ad.xml", "ae.xml"},
         {"ab.xml", "ac.xml", "ad.xml", "ae.xml", "azzz.xml"}, "azzz.xml"},
    };
    ASSERT_TRUE(SetCustomString(kInfoPageText, std::string_view("<info>%s</info>")));
    for (const CleanupRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (const std::string& name : ListFiles(home.path() + "xml/", "*")) {
            ::unlink((home.path() + "xml/" + name).c_str());
        }
        for (const std::string& name : row.before) home.WriteFile("xml/" + name, "page " + name);
        Settings settings = QuietSettings();
        settings.general.deleteXml = row.deleteXml;
        RecordingRunView view;
        EXPECT_TRUE(RunDownload(settings, view).AllPagesWritten());
        EXPECT_EQ(view.LastStatus(), kCompletedZero);
        EXPECT_EQ(ListFiles(home.path() + "xml/", "*"), row.remaining);
        if (*row.infoPage) {
            EXPECT_EQ(home.ReadFile(std::string("xml/") + row.infoPage), "<info>Tidepost Version 1.5</info>");
        }
    }
}

// A run killed while writing a page leaves its temporary file; the next run
// removes it once no run could still be writing it.
TEST_F(DownloadRunTest, StaleTemporaryPagesAreRemoved) {
    home.WriteFile("xml/.tidepost-Ab12Cd", "half a page");
    home.WriteFile("xml/.tidepost-Xy34Zw", "being written");
    std::filesystem::last_write_time(home.path() + "xml/.tidepost-Ab12Cd",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(25));
    RecordingRunView view;
    EXPECT_TRUE(RunDownload(QuietSettings(), view).AllPagesWritten());
    EXPECT_EQ(ListFiles(home.path() + "xml/", "*"), std::vector<std::string>{".tidepost-Xy34Zw"});
}

TEST_F(DownloadRunTest, FailedCleanUpStopsBeforeAnyTopic) {
    home.WriteFile("xml/stuck.xml", "page");
    ImmutableFile stuck(home.path() + "xml/stuck.xml");
    if (!stuck.set()) GTEST_SKIP() << "this file system cannot make a file undeletable";

    Settings settings = QuietSettings();
    settings.general.autoExit = true;
    RecordingRunView view;
    const RunOutcome outcome = RunDownload(settings, view);
    EXPECT_EQ(outcome.end, RunEnd::Stopped);
    const std::vector<std::string> expected = {
        "cursor on", "status Download in progress, please wait ...", "view on",
        "status Error: Not able to delete previous download file 'stuck.xml'", "cursor off"};
    EXPECT_EQ(view.events, expected);
}


TEST_F(DownloadRunTest, SyncToolStartsOnlyWhenSwitchedOn) {
    const std::string marker = home.path() + "synced.txt";
    Settings settings = QuietSettings();

    ASSERT_TRUE(ini::WriteString(GetIniPath(), "Settings", "IntelliSynch Path", "echo off >> " + marker));
    RecordingRunView off;
    RunDownload(settings, off);

    settings.general.intelliSynch = true;
    ASSERT_TRUE(ini::WriteString(GetIniPath(), "Settings", "IntelliSynch Path", "echo on >> " + marker));
    RecordingRunView on;
    RunDownload(settings, on);

    EXPECT_EQ(test::WaitForText(home, "synced.txt"), "on\n");
}

TEST_F(DownloadRunTest, CloseIsRequestedAfterTheCompletedReport) {
    for (const bool autoExit : {false, true}) {
        SCOPED_TRACE(autoExit ? "auto exit on" : "auto exit off");
        Settings settings = QuietSettings();
        settings.general.autoExit = autoExit;
        RecordingRunView view;
        RunDownload(settings, view);
        ASSERT_GE(view.events.size(), 3u);
        const auto end = view.events.end();
        if (autoExit) {
            EXPECT_EQ(std::vector<std::string>(end - 3, end),
                      (std::vector<std::string>{"status " + kCompletedZero, "close", "cursor off"}));
        } else {
            EXPECT_FALSE(view.Has("close"));
        }
    }
}

}  // namespace
}  // namespace tp
