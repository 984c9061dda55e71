// Runs that fetch their pages ahead and side by side leave exactly what runs
// fetching one page at a time leave; their transfers keep to the run's order
// and end with the run.
#include "app/globals.h"
#include "app/paths.h"
#include "net/parallel_fetches.h"
#include "run/download_run.h"
#include "settings/custom_store.h"
#include "settings/itineraries.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/demo_itineraries.h"
#include "tests/support/http_server.h"
#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

namespace tp {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Addresses whose targets hold one of these go wrong in their own way; every
// other one is sent on to the sample provider by a redirect.
constexpr const char* kRefusedSymbol = "ORCL";  // redirected to a closed port
constexpr const char* kStalledCode = "60601";   // nothing for longer than the stall time-out
constexpr const char* kOversizePage = "sports.example.org";  // the page and 200,000 more bytes

class RecordingView : public test::RecordingRunView {
public:
    // libcurl's reasons tell how long a connection took ("after 2 ms"): no two runs agree on it.
    void ShowDiagnostic(std::string_view line) override {
        events.push_back("diagnostic " + std::regex_replace(std::string(line), std::regex("after [0-9]+ ms"), "after ms"));
    }
};

// Everything of a run that a user or a calling script gets to see.
struct RunRecord {
    std::vector<std::string> events;
    RunEnd end = RunEnd::Refused;
    int failedTopics = 0;
    std::map<std::string, std::string> pages;  // the clock of the date lines blanked
    std::string rawCopy;                       // download.txt
};

// A server in front of the sample provider that makes the faults above.
class FaultyFront {
public:
    FaultyFront() {
        server.Get("*", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    }

    // Every customizable address goes through the front.
    void UseForEveryAddress() const {
        std::istringstream lines(sample::CustomizationLines(server.port()));
        for (std::string line; std::getline(lines, line);) {
            ASSERT_TRUE(SetCustomString(std::stoi(line.substr(6, 3)), std::string_view(line).substr(10)));
        }
    }

    test::RunningProvider provider;
    test::HttpServer server;

private:
    void Answer(const httplib::Request& req, httplib::Response& res) const {
        const std::string& target = req.target;
        const std::string original = "http://127.0.0.1:" + std::to_string(provider.port()) + target;
        if (target.find(kRefusedSymbol) != std::string::npos) {
            res.set_redirect("http://127.0.0.1:1/");
        } else if (target.find(kStalledCode) != std::string::npos) {
            std::this_thread::sleep_for(1500ms);
            res.set_redirect(original);
        } else if (target.find(kOversizePage) != std::string::npos) {
            httplib::Client client("127.0.0.1", provider.port());
            const auto page = client.Get(target);
            res.set_content((page ? page->body : std::string()) + std::string(200000, '\n'), "text/plain");
        } else {
            res.set_redirect(original);
        }
    }
};

// The icon files, templates and code lists of a new installation.
void CopyDataFiles(const test::TempHome& home) {
    for (const auto& entry : fs::directory_iterator(test::SourceDataFolder() + "cfg")) {
        fs::copy_file(entry.path(), home.path() + "cfg/" + entry.path().filename().string());
    }
}

// Every topic, several pages each, nothing outside the data folder.
Settings EveryTopic() {
    Settings settings;
    settings.general.intelliSynch = false;
    settings.general.autoExit = false;
    settings.general.stallTimeout = 1;
    settings.main.weather.download = true;
    settings.main.weather.cityCode = "UKXX/UKXX0085,FRXX/FRXX0076";
    settings.main.news.download = true;
    settings.main.news.world = settings.main.news.tech = settings.main.news.sport = true;
    settings.main.movies.download = true;
    settings.main.stocks.download = true;
    settings.main.stocks.xRate = "USD/EUR,EUR/USD,GBP/USD";
    settings.main.stocks.symbols = "IBM,MSFT,CSCO";
    settings.more.directions.download = true;
    settings.more.astro.download = true;
    settings.more.astro.signs = "Aries,Leo,Libra";
    settings.more.email.download = true;
    return settings;
}

// One run in a fresh data folder set up for settings.
RunRecord RecordRun(const FaultyFront& front, Settings settings, FetchLimits limits) {
    test::TempHome home;
    CopyDataFiles(home);
    home.WriteFile("emails/note.txt", "Call the garage\nabout the brakes\n");
    front.UseForEveryAddress();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(WriteItinerary(GetIniPath(), i + 1, test::kDemoItineraries[i]));
    settings.general.maxFetches = limits.total;
    settings.general.maxFetchesPerHost = limits.perHost;

    RunRecord record;
    RecordingView view;
    g_debug = true;  // the raw copy stays, to be compared too
    const RunOutcome outcome = RunDownload(settings, view);
    g_debug = false;
    record.events = view.events;
    record.end = outcome.end;
    record.failedTopics = outcome.failedTopics;
    const std::regex clock("[0-9]{1,2}(h|:)[0-9]{2}");
    for (const auto& entry : fs::directory_iterator(home.path() + "xml")) {
        const std::string name = entry.path().filename().string();
        record.pages[name] = std::regex_replace(home.ReadFile("xml/" + name), clock, "hh:mm");
    }
    record.rawCopy = home.ReadFile("download.txt");
    return record;
}

TEST(ParallelRun, LeavesWhatARunOfOneFetchAtATimeLeaves) {
    const struct {
        const char* name;
        bool stopOnError;
        std::string zip;
        std::string symbols;
    } configurations[] = {
        {"every topic, redirects and an oversize page", true, "10001,94103", "IBM,MSFT,CSCO"},
        {"a quote that fails, StopOnError on", true, "10001,94103", std::string("IBM,") + kRefusedSymbol + ",MSFT"},
        {"a quote that fails, StopOnError off", false, "10001,94103", std::string("IBM,") + kRefusedSymbol + ",MSFT"},
        {"a stalled weather code, StopOnError off", false, std::string("10001,") + kStalledCode + ",94103",
         "IBM,MSFT"},
    };
    FaultyFront front;
    for (const auto& configuration : configurations) {
        SCOPED_TRACE(configuration.name);
        Settings settings = EveryTopic();
        settings.general.stopOnError = configuration.stopOnError;
        settings.main.weather.zip = configuration.zip;
        settings.main.stocks.symbols = configuration.symbols;

        const RunRecord oneAtATime = RecordRun(front, settings, {1, 1});
        ASSERT_GE(oneAtATime.pages.size(), configuration.stopOnError ? 2u : 7u);
        const int unplannedBefore = ParallelFetches::UnplannedFetches();
        for (const FetchLimits limits : {FetchLimits{16, 6}, FetchLimits{3, 1}}) {
            SCOPED_TRACE("at most " + std::to_string(limits.total) + " at once, " + std::to_string(limits.perHost) +
                         " per host");
            const RunRecord parallel = RecordRun(front, settings, limits);
            EXPECT_EQ(parallel.events, oneAtATime.events);
            EXPECT_EQ(parallel.end, oneAtATime.end);
            EXPECT_EQ(parallel.failedTopics, oneAtATime.failedTopics);
            EXPECT_EQ(parallel.pages, oneAtATime.pages);
            EXPECT_EQ(parallel.rawCopy, oneAtATime.rawCopy);
            EXPECT_EQ(ParallelFetches::TransfersRunning(), 0);
        }
        // Every address the topics asked for had been foreseen.
        EXPECT_EQ(ParallelFetches::UnplannedFetches(), unplannedBefore);
    }
}

// The pages of a later topic are held by the server until the weather page is
// written: a weather fetch queued behind them would never come.
TEST(ParallelRun, ATopicNeverWaitsForTheTransfersOfALaterTopic) {
    FaultyFront front;
    test::TempHome home;
    std::atomic<int> heldTooLong{0};
    test::HttpServer later;
    later.Get("*", [&](const httplib::Request& req, httplib::Response& res) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!home.Exists("xml/weather.xml") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        if (!home.Exists("xml/weather.xml")) ++heldTooLong;
        res.set_redirect("http://127.0.0.1:" + std::to_string(front.provider.port()) + req.target);
    });
    CopyDataFiles(home);
    front.UseForEveryAddress();
    // News and horoscopes come from the holding server.
    std::istringstream lines(sample::CustomizationLines(later.port()));
    for (std::string line; std::getline(lines, line);) {
        const int number = std::stoi(line.substr(6, 3));
        if ((number >= 106 && number <= 110) || number == 135 || number == 140) {
            ASSERT_TRUE(SetCustomString(number, std::string_view(line).substr(10)));
        }
    }
    Settings settings = EveryTopic();
    settings.main.stocks.download = settings.main.movies.download = false;
    settings.more.directions.download = settings.more.email.download = false;
    settings.main.weather.zip = "10001,94103,10001";
    settings.general.maxFetches = 2;
    settings.general.maxFetchesPerHost = 2;

    RecordingView view;
    EXPECT_TRUE(RunDownload(settings, view).AllPagesWritten()) << view.LastStatus();
    EXPECT_EQ(heldTooLong, 0);
}

// A run stopped by a failing topic stops the transfers of the topics after it.
TEST(ParallelRun, AStoppedRunLeavesNoTransferRunning) {
    FaultyFront front;
    test::TempHome home;
    std::atomic<int> arrived{0};
    std::atomic<bool> released{false};
    test::HttpServer later;
    later.Get("*", [&](const httplib::Request&, httplib::Response& res) {
        ++arrived;
        while (!released) std::this_thread::sleep_for(10ms);
        res.set_content("late", "text/plain");
    });
    test::HttpServer weather;
    weather.Get("*", [&](const httplib::Request&, httplib::Response& res) {
        // The later transfers are under way before the weather topic fails.
        for (int i = 0; i < 1000 && arrived == 0; ++i) std::this_thread::sleep_for(10ms);
        res.set_content("no forecast here", "text/plain");
    });
    CopyDataFiles(home);
    ASSERT_TRUE(SetCustomString(104, weather.url("/us?zip=%s")));
    ASSERT_TRUE(SetCustomString(140, later.url("/astro?sign=%s")));
    Settings settings;
    settings.general.intelliSynch = false;
    settings.main.weather.download = true;
    settings.main.weather.zip = "10001";
    settings.more.astro.download = true;
    settings.more.astro.signs = "Aries,Leo,Libra";

    RecordingView view;
    EXPECT_EQ(RunDownload(settings, view).end, RunEnd::Stopped);
    EXPECT_GT(arrived, 0);
    EXPECT_EQ(ParallelFetches::TransfersRunning(), 0);
    released = true;
}

}  // namespace
}  // namespace tp
