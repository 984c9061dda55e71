// Whole download runs as the Download command starts them, shown on a view
// that records nothing: every topic against the sample provider on 127.0.0.1,
// and the e-mail topic alone over a mail folder of 20 files (no network).
// Items are the pages a run writes.
#include "app/globals.h"
#include "app/paths.h"
#include "topics/email.h"
#include "run/download_run.h"
#include "platform/dir_list.h"
#include "settings/itineraries.h"
#include "settings/ini_file.h"
#include "settings/settings_model.h"
#include "tests/topics/topic_page_support.h"
#include "tests/support/demo_itineraries.h"
#include "tests/support/provider_server.h"
#include "tests/support/temp_home.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tp {
namespace {

class QuietRunView : public RunView {
public:
    void SetStatus(const std::string&) override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
    void EnableViewButton(bool) override {}
    void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
    void SetWaitCursor(bool) override {}
    void RequestClose() override {}
};

// Nothing outside the data folder: no synchronisation tool, no close request.
Settings QuietSettings() {
    Settings settings;
    settings.general.stopOnError = true;
    settings.general.deleteXml = true;
    settings.general.intelliSynch = false;
    settings.general.autoExit = false;
    return settings;
}

// Every topic with the choices of the demo, so each recorded page is asked for.
Settings EveryTopic() {
    Settings settings = QuietSettings();
    WeatherSettings& weather = settings.main.weather;
    weather.download = true;
    weather.zip = "10001,60601,94103";
    weather.cityCode = "UKXX/UKXX0085,FRXX/FRXX0076,GMXX/GMXX0007";
    weather.forecastUsa = 5;
    weather.forecastEuro = 5;
    weather.language = 0;
    NewsSettings& news = settings.main.news;
    news.download = true;
    news.nbNews = 5;
    news.world = news.tech = news.sport = true;
    MoviesSettings& movies = settings.main.movies;
    movies.download = true;
    movies.maxMovies = 10;
    StocksSettings& stocks = settings.main.stocks;
    stocks.download = true;
    stocks.xRate = "USD/EUR,EUR/USD,GBP/USD,USD/JPY,EUR/CHF";
    stocks.symbols = "IBM,MSFT,ORCL,CSCO";
    stocks.xRateDays = 10;
    settings.more.directions.download = true;
    settings.more.astro.download = true;
    settings.more.astro.signs = "Aries,Leo,Libra";
    settings.more.email.download = true;
    return settings;
}

// A memo or a saved message of a few kilobytes, different for each number.
std::string MailFile(int number, bool message) {
    std::string text;
    if (message) {
        text = "Return-Path: <sender" + std::to_string(number) + "@example.com>\n"
               "Date: Mon, 3 Jun 2024 17:02:11 -0700\n"
               "From: Sender " + std::to_string(number) + " <sender@example.com>\n"
               "To: Sam Porter <sam@example.net>\n"
               "Subject: Weekly report number " + std::to_string(number) + "\n"
               "MIME-Version: 1.0\n"
               "Content-Type: text/plain; charset=ISO-8859-1\n\n";
    }
    for (int line = 0; line < 40; ++line) {
        text += "Line " + std::to_string(line) + " of note " + std::to_string(number) +
                ": figures for the caf\xE9 & the harbour <shop> are in.\n";
    }
    return text;
}

constexpr int kMailFiles = static_cast<int>(kEmailSlots);

// Runs settings until the state has enough time; items are the pages of a run.
void RunRepeatedly(benchmark::State& state, const Settings& settings) {
    QuietRunView view;
    // One run first, to know how many pages a run writes and that it writes them all.
    if (!RunDownload(settings, view).AllPagesWritten()) {
        state.SkipWithError(("the run failed: " + g_lastError).c_str());
        return;
    }
    const auto pages = static_cast<int64_t>(ListFiles(GetExeFolder() + PageFolderName(), "*.xml").size());
    for (auto _ : state) {
        if (!RunDownload(settings, view).AllPagesWritten()) {
            state.SkipWithError(("the run failed: " + g_lastError).c_str());
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * pages);
    state.SetLabel(std::to_string(pages) + " pages a run");
}

void BM_RunEveryTopic(benchmark::State& state) {
    test::TempHome home;
    test::CopyDefaultConfig(home);
    test::ProviderServer provider;
    if (provider.port() == 0) {
        state.SkipWithError(provider.error().c_str());
        return;
    }
    bool ready = provider.CustomizeEveryAddress() &&
                 ini::WriteString(GetIniPath(), "Stocks", "OldEuroSymb", "FRF") &&
                 ini::WriteString(GetIniPath(), "Stocks", "OldEuroRate", "6.55957");
    for (int i = 0; ready && i < static_cast<int>(std::size(test::kDemoItineraries)); ++i) {
        ready = WriteItinerary(GetIniPath(), i + 1, test::kDemoItineraries[i]);
    }
    for (int i = 0; i < 4; ++i) home.WriteFile("emails/mail" + std::to_string(i) + ".eml", MailFile(i, true));
    if (!ready) {
        state.SkipWithError(g_lastError.c_str());
        return;
    }
    RunRepeatedly(state, EveryTopic());
}
BENCHMARK(BM_RunEveryTopic)->Unit(benchmark::kMillisecond);

void BM_RunEmailOnly(benchmark::State& state) {
    test::TempHome home;
    test::CopyDefaultConfig(home);
    for (int i = 0; i < kMailFiles; ++i) {
        const bool message = i % 2 == 1;
        home.WriteFile("emails/note" + std::to_string(i) + (message ? ".eml" : ".txt"), MailFile(i, message));
    }
    Settings settings = QuietSettings();
    settings.more.email.download = true;
    RunRepeatedly(state, settings);
    state.counters["files"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kMailFiles, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunEmailOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tp
