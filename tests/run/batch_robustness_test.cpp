// The runner under faults: a file-size limit while pages are written, a reader
// of its output that goes away, a second run on the same data folder, and the
// diagnostics that an unattended run leaves on standard error.
#include "run/download_run.h"
#include "settings/custom_store.h"
#include "settings/settings_model.h"
#include "tests/run/batch_process.h"
#include "tests/run/recording_run_view.h"
#include "tests/run/weather_setup.h"
#include "tests/support/raw_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

namespace tp {
namespace {

using test::BatchResult;
using test::TempHome;

// Settings of a weather-only run; extra goes to section "Weather", general to "Settings".
std::string WeatherIni(const std::string& extra, const std::string& general = "") {
    return "[Settings]\r\nIntelliSynch=0\r\nStopOnError=1\r\n" + general + "[Weather]\r\nDownload=1\r\n" + extra;
}

// Pages are written beside the old one and renamed over it, so a size limit
// leaves the old page (DeleteXml off) or none (on), never half a page.
TEST(BatchFaults, FileSizeLimitKeepsTheOldPageOrNone) {
    for (const bool deleteXml : {false, true}) {
        SCOPED_TRACE(deleteXml ? "DeleteXml on" : "DeleteXml off");
        TempHome home;
        test::HttpServer server;
        // Four cards make a page well past the 1 KB limit set below.
        home.WriteFile("cfg/Tidepost.ini", WeatherIni("ZIP=62701,62702,62703,62704\r\n",
                                                      std::string("DeleteXml=") + (deleteXml ? "1" : "0") + "\r\n"));
        test::PrepareWeatherTopic(home, server, test::RecordedUsWeather());
        home.WriteFile(test::kWeatherPageFile, "<old/>");

        const BatchResult result = test::RunBatchThroughShell("ulimit -f 1; exec \"$TIDEPOST_BATCH\"");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tidepost-batch: Weather: File error: Enable to write 'xml/weather.xml': File too large\n"
                              "tidepost-batch: run log: cannot write " + home.path() + "log/runs.jsonl: File too large\n");
        EXPECT_EQ(home.Exists(test::kWeatherPageFile), !deleteXml);
        if (!deleteXml) {
            EXPECT_EQ(home.ReadFile(test::kWeatherPageFile), "<old/>");
        }
        // No temporary file is left in the page folder either.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path() + "xml"),
                                std::filesystem::directory_iterator()),
                  deleteXml ? 0 : 1);
    }
}

// "tidepost-batch | head -1": the reader leaves after the first line, the run
// goes on to its end and writes its page.
TEST(BatchFaults, AReaderThatQuitsEarlyDoesNotStopTheRun) {
    TempHome home;
    test::HttpServer server;
    home.WriteFile("cfg/Tidepost.ini", WeatherIni("ZIP=62701\r\n"));
    test::PrepareWeatherTopic(home, server, "");
    // Slow enough that the reader is gone before the next status line.
    const std::string page = test::RecordedUsWeather();
    server.Get("/us", [page](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        res.set_content(page, "text/plain");
    });

    const BatchResult result =
        test::RunBatchThroughShell("\"$TIDEPOST_BATCH\" | head -1; echo \"status ${PIPESTATUS[0]}\" >&2");
    EXPECT_EQ(result.out, "Download in progress, please wait ...\n");
    EXPECT_EQ(result.err, "status 0\n");
    EXPECT_TRUE(home.Exists(test::kWeatherPageFile));
}

// While one run works in a data folder, a second one there does not start.
TEST(BatchFaults, ASecondRunOnTheSameFolderWaitsItsTurn) {
    TempHome home;
    test::HttpServer server;
    home.WriteFile("cfg/Tidepost.ini", WeatherIni("ZIP=62701\r\n"));
    test::PrepareWeatherTopic(home, server, "");
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const std::string page = test::RecordedUsWeather();
    server.Get("/us", [page, released](const httplib::Request&, httplib::Response& res) {
        released.wait();
        res.set_content(page, "text/plain");
    });

    std::future<BatchResult> first = std::async(std::launch::async, [] { return test::RunBatchProcess({}); });
    for (int i = 0; i < 500 && server.Requests().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(server.Requests().empty()) << "the first run never fetched";

    std::string folder = home.path();
    folder.pop_back();
    const BatchResult second = test::RunBatchProcess({});
    EXPECT_EQ(second.status, 75);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "Tidepost: another download is running in " + folder + "\n");
    // The window's run gets the same text in a box, and deletes nothing.
    Settings settings;
    ReadSettings(settings);
    test::RecordingRunView view;
    EXPECT_EQ(RunDownload(settings, view).end, RunEnd::Busy);
    EXPECT_TRUE(view.Has("message exclamation Tidepost | another download is running in " + folder));

    release.set_value();
    const BatchResult firstResult = first.get();
    EXPECT_EQ(firstResult.status, 0) << firstResult.err;
    EXPECT_TRUE(home.Exists(test::kWeatherPageFile));
    // The lock went with the first run.
    EXPECT_EQ(test::RunBatchProcess({}).status, 0);
}

// Standard output keeps the status texts; standard error gets one line per
// failed step naming the topic, the address or file and the reason in words.
TEST(BatchDiagnostics, NameTheTopicTheAddressAndTheReason) {
    test::ClosedPort closed;
    const struct {
        const char* name;
        std::function<void(const TempHome&, test::HttpServer&)> arrange;
        int status;
        std::vector<std::string> errLines;  // "<home>" and "<url>" stand for the home and the weather address
    } rows[] = {
        {"refused connection",
         [&closed](const TempHome&, test::HttpServer&) { SetCustomString(104, closed.url("/us?zip=%s")); }, 1,
         {"tidepost-batch: Weather: " + closed.url("/us?zip=62701") + ": Failed to connect to 127.0.0.1 port " +
          std::to_string(closed.port()) + "*(InternetOpenUrl Error: 7)"}},
        {"an error answer is named besides the missing tag",
         [](const TempHome&, test::HttpServer& server) {
             server.Get("/us", [](const httplib::Request&, httplib::Response& res) {
                 res.status = 500;
                 res.set_content("Internal error", "text/plain");
             });
         },
         1,
         {"tidepost-batch: Weather: <url>: HTTP status 500",
          "tidepost-batch: Weather: HTML error: weather tag 'Precip. %' not found"}},
        {"missing template",
         [](const TempHome& home, test::HttpServer&) { std::filesystem::remove(home.path() + "cfg/weather.xmt"); }, 1,
         {"tidepost-batch: Weather: Error: Enable to read file '<home>cfg/weather.xmt': No such file or directory"}},
        {"missing settings file",
         [](const TempHome& home, test::HttpServer&) { std::filesystem::remove(home.path() + "cfg/Tidepost.ini"); },
         2,
         {"tidepost-batch: cannot read the settings file <home>cfg/Tidepost.ini: No such file or directory",
          "tidepost-batch: no topic is selected in <home>cfg/Tidepost.ini"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        test::HttpServer server;
        home.WriteFile("cfg/Tidepost.ini", WeatherIni("ZIP=62701\r\n"));
        test::PrepareWeatherTopic(home, server, test::RecordedUsWeather());
        row.arrange(home, server);

        const BatchResult result = test::RunBatchProcess({});
        EXPECT_EQ(result.status, row.status);
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = result.err.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(result.err.substr(start, end - start));
        }
        ASSERT_EQ(lines.size(), row.errLines.size()) << result.err;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string expected = row.errLines[i];
            for (const auto& [name, value] :
                 {std::pair<std::string, std::string>{"<home>", home.path()}, {"<url>", server.url("/us?zip=62701")}}) {
                if (const std::size_t at = expected.find(name); at != std::string::npos) expected.replace(at, name.size(), value);
            }
            // "*" stands for libcurl's wording between the parts we rely on.
            const std::size_t star = expected.find('*');
            if (star == std::string::npos) {
                EXPECT_EQ(lines[i], expected);
            } else {
                EXPECT_TRUE(lines[i].starts_with(expected.substr(0, star))) << lines[i];
                EXPECT_TRUE(lines[i].ends_with(expected.substr(star + 1))) << lines[i];
            }
        }
    }
}

}  // namespace
}  // namespace tp
