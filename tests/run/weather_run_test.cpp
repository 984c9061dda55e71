// The run with a real topic: the weather page fetched from a local server.
#include "run/download_run.h"

#include "app/globals.h"
#include "app/paths.h"
#include "platform/text_file.h"
#include "settings/ini_file.h"
#include "tests/run/recording_run_view.h"
#include "tests/run/weather_setup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tp {
namespace {

using test::RecordingRunView;

const std::string kInProgress = "Download \"xml/weather.xml\" in progress...";

class WeatherRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_debug = false;
        // Pages of an earlier run that no topic of this run replaces.
        for (const char* name : {"astro.xml", "email.xml", "movies.xml", "news.xml"}) {
            home.WriteFile(std::string("xml/") + name, "old page");
        }
        settings.general.deleteXml = false;
        settings.general.autoExit = true;
        settings.general.intelliSynch = true;
        settings.main.weather.download = true;
        settings.main.weather.zip = "62701";
        ASSERT_TRUE(ini::WriteString(GetIniPath(), "Settings", "IntelliSynch Path",
                                     "echo synced >> " + home.path() + "synced.txt"));
    }

    // Waits a bounded time for the synchronisation tool's mark.
    test::TempHome home;
    test::HttpServer server;
    Settings settings;
};

TEST_F(WeatherRunTest, AFailingTopicStopsTheRunOnlyWithStopOnError) {
    PrepareWeatherTopic(home, server, test::kNoWeatherTags);
    if (HasFatalFailure()) return;

    settings.general.stopOnError = true;
    RecordingRunView stopped;
    const RunOutcome stop = RunDownload(settings, stopped);
    EXPECT_EQ(stop.end, RunEnd::Stopped);
    EXPECT_EQ(stop.failedTopics, 1);
    const std::string error = g_lastError;
    EXPECT_FALSE(error.empty());
    const std::vector<std::string> tail = {"position 0", "status " + kInProgress,
                                           "status " + kInProgress + error, "cursor off"};
    ASSERT_GE(stopped.events.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(stopped.events.end() - 4, stopped.events.end()), tail);
    EXPECT_FALSE(stopped.Has("view off"));
    EXPECT_FALSE(stopped.Has("close"));
    // The raw copy holds the page that could not be read, for the user to look at.
    EXPECT_EQ(home.ReadFile("download.txt"), ToTextModeBytes(test::kNoWeatherTags));
    EXPECT_FALSE(home.Exists("xml/mozzz.xml"));
    EXPECT_FALSE(home.Exists(test::kWeatherPageFile));

    settings.general.stopOnError = false;
    RecordingRunView goesOn;
    const RunOutcome on = RunDownload(settings, goesOn);
    EXPECT_EQ(on.end, RunEnd::Completed);
    EXPECT_EQ(on.failedTopics, 1);
    EXPECT_FALSE(on.AllPagesWritten());
    EXPECT_TRUE(goesOn.Has("status " + kInProgress + error));
    EXPECT_EQ(goesOn.LastPosition(), 7);
    EXPECT_EQ(goesOn.LastStatus(),
              "Download successfully completed (total web content size is 0 bytes).");
    EXPECT_TRUE(goesOn.Has("view off"));
    EXPECT_TRUE(goesOn.Has("close"));
    EXPECT_FALSE(home.Exists("download.txt"));
    EXPECT_TRUE(home.Exists("xml/mozzz.xml"));
    // Only the completed run started the tool.
    EXPECT_EQ(test::WaitForText(home, "synced.txt"), "synced\n");
}

TEST_F(WeatherRunTest, AWrittenPageIsCountedInTheSizeReport) {
    PrepareWeatherTopic(home, server, test::RecordedUsWeather());
    if (HasFatalFailure()) return;

    RecordingRunView view;
    const RunOutcome outcome = RunDownload(settings, view);
    ASSERT_TRUE(outcome.AllPagesWritten()) << g_lastError;
    const std::string page = FromTextModeBytes(home.ReadFile(test::kWeatherPageFile));
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(g_totalSize, page.size());
    EXPECT_EQ(view.LastStatus(), "Download successfully completed (total web content size is " +
                                     FormatTotalSize(static_cast<std::uint32_t>(page.size())) + ").");
    // With the weather page there are five pages: the third in byte order is movies.xml.
    EXPECT_TRUE(home.Exists("xml/mozzz.xml"));
    EXPECT_EQ(view.events.back(), "cursor off");
    EXPECT_TRUE(view.Has("close"));
}

}  // namespace
}  // namespace tp
