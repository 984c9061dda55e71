#include "tests/run/batch_process.h"
#include "tests/run/weather_setup.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tp {
namespace {

using test::BatchResult;
using test::RunBatchProcess;
using test::TempHome;

const char kInProgress[] = "Download in progress, please wait ...\n";
const char kCompletedZero[] = "Download successfully completed (total web content size is 0 bytes).\n";

// Written by hand, with comments, blanks, CR LF and keys the program does not
// know: any rewrite by the runner would show.
const std::string kBaseSettings =
    "; hand-written\r\n"
    "[Customization]\r\n"
    "String142=<info>%s</info>\r\n"
    "[Settings]\r\n"
    "IntelliSynch = 0\r\n"
    "StopOnError=1\r\n"
    "Unknown=kept\r\n";

TEST(BatchArguments, InformationAndUsageErrors) {
    TempHome home(false);
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* outStart;  // standard output starts with this
        const char* errPart;   // standard error holds this ("" : empty)
    } rows[] = {
        {{"--version"}, 0, "Tidepost Version 1.5\n", ""},
        {{"--help"}, 0, "Usage: tidepost-batch", ""},
        {{"/autorun", "--help"}, 0, "Usage: tidepost-batch", ""},
        {{"--frobnicate"}, 64, "", "unknown argument '--frobnicate'"},
        {{"/autorun", "weather"}, 64, "", "Usage: tidepost-batch"},
        {{"/AUTORUN"}, 64, "", "unknown argument '/AUTORUN'"},
        {{"--log", "0"}, 64, "", "--log takes a number of runs"},
        {{"--log", "3", "/autorun"}, 64, "", "--log takes a number of runs"},
        {{"--log"}, 0, "No run has been logged yet.\n", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.back());
        const BatchResult result = RunBatchProcess(row.arguments);
        EXPECT_EQ(result.status, row.status);
        if (*row.outStart) {
            EXPECT_EQ(result.out.rfind(row.outStart, 0), 0u) << result.out;
        } else {
            EXPECT_EQ(result.out, "");
        }
        if (*row.errPart) {
            EXPECT_NE(result.err.find(row.errPart), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.err, "");
        }
    }
    EXPECT_EQ(RunBatchProcess({"--version"}).out, "Tidepost Version 1.5\n");
    // Answering --help or --version is no run: no page folder is made.
    EXPECT_FALSE(home.Exists("xml"));
}

TEST(BatchArguments, MissingDataFolderIsAUsageError) {
    TempHome home(false);
    home.WriteFile("a-file", "");
    for (const auto& [name, reason] : {std::pair{"no-such-home", "does not exist"}, std::pair{"a-file", "is not a folder"}}) {
        SCOPED_TRACE(name);
        const std::string folder = home.path() + name + "/";
        ::setenv("TIDEPOST_HOME", folder.c_str(), 1);
        const BatchResult result = RunBatchProcess({"/autorun"});
        EXPECT_EQ(result.status, 64);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("'" + folder + "' " + reason), std::string::npos) << result.err;
    }
    EXPECT_FALSE(home.Exists("no-such-home"));
}

struct RunRow {
    const char* name;
    const char* extraSettings;  // appended to the settings file
    int status;
    std::string out;
    std::string err;  // "<ini>" stands for the settings file's path
};

std::string WithIniPath(std::string text, const TempHome& home) {
    const std::string ini = home.path() + "cfg/Tidepost.ini";
    for (std::size_t at; (at = text.find("<ini>")) != std::string::npos;) text.replace(at, 5, ini);
    return text;
}

TEST(BatchRun, ExitStatusAndOutputFollowTheRun) {
    const RunRow rows[] = {
        {"nothing selected is refused like the disabled button", "", 2, "",
         "tidepost-batch: no topic is selected in <ini>\n"},
        {"news without a category is refused", "[News]\r\nDownload=1\r\n", 2, "",
         "Missing information: Please select a news category\n"},
        {"headlines out of range are refused, naming the key",
         "[News]\r\nDownload=1\r\nNewsWorldUS=1\r\nNbNews=0\r\n", 2, "",
         "Tidepost: Please enter an integer between 1 and 10.\n"
         "tidepost-batch: section [News], key \"NbNews\" of <ini> is outside 1..10\n"},
        {"own numbers that cannot be taken fall back to their default, naming the key",
         "FetchTimeout=0\r\nMaxFetches=5abc\r\n[News]\r\nDownload=1\r\n", 2, "",
         "tidepost-batch: section [Settings], key \"FetchTimeout\" of <ini> holds '0', not a number within "
         "its bounds; 120 is used\n"
         "tidepost-batch: section [Settings], key \"MaxFetches\" of <ini> holds '5abc', not a number within "
         "its bounds; 16 is used\n"
         "Missing information: Please select a news category\n"},
    };
    for (const RunRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        const std::string settings = kBaseSettings + row.extraSettings;
        home.WriteFile("cfg/Tidepost.ini", settings);
        for (const char* name : {"a.xml", "b.xml", "c.xml", "d.xml"}) home.WriteFile(std::string("xml/") + name, "p");

        const BatchResult result = RunBatchProcess({"/autorun"});
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, row.out);
        EXPECT_EQ(result.err, WithIniPath(row.err, home));
        EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"), settings);
        // A completed run deletes the pages (DeleteXml defaults on); a refused one does not.
        EXPECT_EQ(home.Exists("xml/a.xml"), row.status != 0);
    }
}

TEST(BatchRun, WeatherTopicOutcomes) {
    const std::string inProgress = "Download \"xml/weather.xml\" in progress...";
    const struct {
        const char* name;
        bool recordedPage;  // else a page without the weather tags
        const char* stopOnError;
        int status;
    } rows[] = {
        {"the page is written", true, "1", 0},
        {"a failing topic stops the run", false, "1", 1},
        {"a failing topic lets the run go on but still fails it", false, "0", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        test::HttpServer server;
        home.WriteFile("cfg/Tidepost.ini", "[Settings]\r\nIntelliSynch=0\r\nStopOnError=" +
                                               std::string(row.stopOnError) +
                                               "\r\n[Weather]\r\nDownload=1\r\nZIP=62701\r\n");
        PrepareWeatherTopic(home, server, row.recordedPage ? test::RecordedUsWeather() : test::kNoWeatherTags);
        if (HasFatalFailure()) return;
        const std::string settings = home.ReadFile("cfg/Tidepost.ini");

        const BatchResult result = RunBatchProcess({});
        EXPECT_EQ(result.status, row.status);
        // A failed step names its topic and reason on standard error.
        EXPECT_EQ(result.err, row.recordedPage ? ""
                                               : "tidepost-batch: Weather: HTML error: weather tag "
                                                 "'Precip. %' not found\n");
        EXPECT_EQ(home.ReadFile("cfg/Tidepost.ini"), settings);
        EXPECT_EQ(home.Exists(test::kWeatherPageFile), row.recordedPage);

        // One status text per line, in the order they were set.
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < result.out.size();) {
            const std::size_t end = result.out.find('\n', start);
            ASSERT_NE(end, std::string::npos) << "unterminated last line";
            lines.push_back(result.out.substr(start, end - start));
            start = end + 1;
        }
        ASSERT_GE(lines.size(), 3u) << result.out;
        EXPECT_EQ(lines[0], "Download in progress, please wait ...");
        EXPECT_EQ(lines[1], inProgress);
        const bool completes = row.recordedPage || *row.stopOnError == '0';
        // A failure adds its own line: the step's text followed by the error.
        EXPECT_EQ(lines.size(), 2u + (row.recordedPage ? 0u : 1u) + (completes ? 1u : 0u));
        if (!row.recordedPage) {
            EXPECT_TRUE(lines[2].starts_with(inProgress + "HTML error: ")) << lines[2];
        }
        EXPECT_EQ(lines.back().starts_with("Download successfully completed"), completes);
    }
}

// A source failing run after run is named once it failed three times in a row,
// until it does well again; --log shows the runs and the failing sources.
TEST(BatchRun, FailingSourcesAreNamedAndTheLogIsShown) {
    TempHome home;
    test::HttpServer server;
    home.WriteFile("cfg/Tidepost.ini", "[Settings]\r\nIntelliSynch=0\r\nRetries=0\r\n[Weather]\r\nDownload=1\r\nZIP=62701\r\n");
    PrepareWeatherTopic(home, server, test::RecordedUsWeather());
    if (HasFatalFailure()) return;
    server.Get("/us", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("down", "text/plain");
    });
    const std::string named = "tidepost-batch: Weather: " + server.url("/us?zip=62701") +
                              " failed in each of its last 3 runs (HTTP status 500)\n";
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        const BatchResult result = RunBatchProcess({});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.ends_with(named), run == 3) << result.err;
    }

    const BatchResult log = RunBatchProcess({"--log", "2"});
    EXPECT_EQ(log.status, 0);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = log.out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(log.out.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 6u) << log.out;
    EXPECT_TRUE(lines[0].starts_with("Start ")) << lines[0];
    for (const std::size_t row : {1u, 2u}) {
        EXPECT_NE(lines[row].find(" stopped "), std::string::npos) << lines[row];
        EXPECT_TRUE(lines[row].ends_with("   1        1       1        0  0")) << lines[row];
    }
    EXPECT_EQ(lines[4], "Failing in each of their last 3 runs:");
    EXPECT_EQ(lines[5], "  Weather: " + server.url("/us?zip=62701") + ": HTTP status 500");

    server.Serve("/us", test::RecordedUsWeather());
    const BatchResult healed = RunBatchProcess({});
    EXPECT_EQ(healed.status, 0);
    EXPECT_EQ(healed.err, "");
}

TEST(BatchShowText, PrintsTheTextTheTagsAreSearchedIn) {
    TempHome home;
    test::HttpServer server;
    server.Serve("/page", "<p>Low <b>12</b>&deg;</p>", "text/html; charset=utf-8");
    server.Serve("/zero", std::string("before\0after", 12));
    server.Get("/stall", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        response.set_content("late", "text/plain");
    });
    const std::string converted =
        "http://127.0.0.1:1/cgi-bin/html2txt?url=" + server.url("/page") + "&noinlinerefs=on";
    const struct {
        const char* name;
        const char* localConversion;
        std::vector<std::string> arguments;
        int status;
        std::string out;
        const char* errPart;  // "" : standard error stays empty
    } rows[] = {
        {"converted in-process", "1", {"--show-text", converted}, 0, "Low 12\xB0\n", ""},
        {"a page as it comes", "1", {"--show-text", server.url("/page")}, 0, "<p>Low <b>12</b>&deg;</p>", ""},
        {"up to a zero byte", "0", {"--show-text", server.url("/zero")}, 0, "before", "after 6 of 12 bytes"},
        {"the service's host when conversion is off, in words", "0", {"--show-text", converted}, 1, "",
         "Couldn't connect to server (InternetOpenUrl Error: 7)\n"},
        {"the settings' time-outs", "0\r\nStallTimeout=1", {"--show-text", server.url("/stall")}, 1, "",
         "(InternetOpenUrl Error: 1c)\n"},
        {"no address", "1", {"--show-text"}, 64, "", "takes one address"},
        {"not with a run", "1", {"--show-text", converted, "/autorun"}, 64, "", "takes one address"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        home.WriteFile("cfg/Tidepost.ini", std::string("[Settings]\r\nLocalConversion=") + row.localConversion + "\r\n");
        const BatchResult result = RunBatchProcess(row.arguments);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, row.out);
        if (*row.errPart) {
            EXPECT_NE(result.err.find(row.errPart), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.err, "");
        }
    }
    EXPECT_FALSE(home.Exists("xml/weather.xml"));
}

}  // namespace
}  // namespace tp
