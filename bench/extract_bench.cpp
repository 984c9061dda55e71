// Cutting each topic's text out of a fetched page: a recorded page of the
// sample provider as it arrives, and the same page behind navigation filler up
// to the transfer buffer's size, so the search through a full page shows.
//
// Extractors that clean the text in place get a fresh copy of the page in every
// iteration. That copy is part of the time measured (pausing the timer costs
// more than copying a small page); CopyPage measures the copy alone.
//
// The tags are the built-in defaults, read from the settings file of a
// temporary data folder as a run reads them.
#include "app/globals.h"
#include "topics/astro.h"
#include "topics/directions.h"
#include "topics/movies.h"
#include "topics/news.h"
#include "topics/stocks.h"
#include "topics/weather.h"
#include "platform/text_file.h"
#include "settings/code_lists.h"
#include "settings/custom_store.h"
#include "settings/settings_model.h"
#include "tests/topics/topic_page_support.h"
#include "bench/full_page.h"
#include "tests/support/temp_home.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace tp {
namespace {

using bench::HtmlMenuLine;
using bench::PadToFullPage;
using bench::TextMenuLine;

const std::string kPagesFolder = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/";
// The tag ahead of the English world headlines.
constexpr int kWorldNewsTag = 111;

// The data folder of the whole program: default icons, templates and code lists.
struct BenchHome {
    test::TempHome home;
    CodeLists lists;
    WeatherSettings usaWeather;
    WeatherSettings europeanWeather;
    MoviesSettings movies;
    std::string newsTag;
    std::string ratesTag;
    std::string quoteTag;

    BenchHome() {
        test::CopyDefaultConfig(home);
        lists = ReadCodeLists();
        usaWeather.forecastUsa = 10;
        europeanWeather.language = 0;
        europeanWeather.forecastEuro = 5;
        movies.maxMovies = 10;
        movies.langMovies = 0;
        // The news and stocks steps read these tags once per page and hand
        // them to the extractor.
        newsTag = GetCustomString(kWorldNewsTag);
        ratesTag = GetCustomString(kRatesTag);
        quoteTag = GetCustomString(kQuoteTag);
    }
};

const BenchHome& Home() {
    static const BenchHome home;
    return home;
}

// Cuts text; with digest, also leaves there what was cut, so two pages can be
// compared. False with the extractor's reason in g_lastError.
using CutFunction = bool (*)(char* text, std::string* digest);

struct Extractor {
    const char* name;
    const char* recordedPage;  // under the sample provider's pages
    bool cleansInPlace;
    std::string (*menuLine)(int);
    CutFunction cut;
};

std::string SlotDigest(const WeatherSlot& slot) { return slot.title + "\n" + slot.body; }

const Extractor kExtractors[] = {
    {"WeatherUsa", "weather/us/10001.txt", false, TextMenuLine,
     [](char* text, std::string* digest) {
         WeatherSlot slot;
         const bool cut = ExtractWeatherUsa(text, Home().usaWeather, Home().lists, "10001", slot);
         benchmark::DoNotOptimize(slot);
         if (digest) *digest = SlotDigest(slot);
         return cut;
     }},
    {"WeatherEurope", "weather/en/UKXX_UKXX0085.txt", true, TextMenuLine,
     [](char* text, std::string* digest) {
         WeatherSlot slot;
         const bool cut =
             ExtractWeatherEurope(text, Home().europeanWeather, Home().lists, "UKXX/UKXX0085", slot);
         benchmark::DoNotOptimize(slot);
         if (digest) *digest = SlotDigest(slot);
         return cut;
     }},
    {"News", "news/en/world.txt", true, TextMenuLine,
     [](char* text, std::string* digest) {
         std::vector<NewsItem> items;
         const std::size_t count = ExtractNews(text, Home().newsTag, false, 10, items);
         benchmark::DoNotOptimize(items);
         if (digest) {
             digest->clear();
             for (const NewsItem& item : items) *digest += item.title + "\n" + item.body + "\n";
         }
         return count > 0;
     }},
    {"Rates", "rates/EUR_USD.html", false, HtmlMenuLine,
     [](char* text, std::string* digest) {
         std::string body;
         const bool cut = ExtractRates(text, Home().ratesTag, kRateHistoryDays, "EUR/USD", body);
         benchmark::DoNotOptimize(body);
         if (digest) *digest = body;
         return cut;
     }},
    {"Quote", "quotes/IBM.txt", false, TextMenuLine,
     [](char* text, std::string* digest) {
         std::string body;
         const bool cut = ExtractQuote(text, Home().quoteTag, body);
         benchmark::DoNotOptimize(body);
         if (digest) *digest = body;
         return cut;
     }},
    {"Movies", "movies/us/now_playing.txt", true, TextMenuLine,
     [](char* text, std::string* digest) {
         MoviesList list;
         const bool cut = ExtractMovies(text, Home().movies, list);
         benchmark::DoNotOptimize(list);
         if (digest) *digest = list.indexLinks + list.cards;
         return cut;
     }},
    {"Directions",
     "directions/us/1+Market+St_San+Francisco,+CA_1+Infinite+Loop_Cupertino,+CA.txt", true,
     TextMenuLine,
     [](char* text, std::string* digest) {
         std::string route;
         const bool cut = ExtractDirections(text, kDirectionsUsaStartTag, kDirectionsUsaBodyTag, route);
         benchmark::DoNotOptimize(route);
         if (digest) *digest = route;
         return cut;
     }},
    {"Horoscope", "astro/leo.txt", true, TextMenuLine,
     [](char* text, std::string* digest) {
         std::string horoscope;
         const bool cut = ExtractHoroscope(text, kAstroStartMarker, horoscope);
         benchmark::DoNotOptimize(horoscope);
         if (digest) *digest = horoscope;
         return cut;
     }},
};

// What extractor cuts from page, or the reason it failed.
bool CutOnce(const Extractor& extractor, const std::string& page, std::string& digest) {
    std::vector<char> text(page.c_str(), page.c_str() + page.size() + 1);
    if (extractor.cut(text.data(), &digest)) return true;
    digest = g_lastError;
    return false;
}

void BM_Extract(benchmark::State& state, const Extractor& extractor, bool fullPage) {
    Home();
    std::string page;
    if (!ReadBinaryFile(kPagesFolder + extractor.recordedPage, page)) {
        state.SkipWithError(g_lastError.c_str());
        return;
    }
    if (fullPage) {
        // The filler must only move the content, never change what is cut.
        const std::string padded = PadToFullPage(page, extractor.menuLine);
        std::string recordedCut;
        std::string paddedCut;
        if (!CutOnce(extractor, page, recordedCut)) {
            state.SkipWithError(recordedCut.c_str());
            return;
        }
        if (!CutOnce(extractor, padded, paddedCut) || paddedCut != recordedCut) {
            state.SkipWithError("the padded page cuts differently from the recorded one");
            return;
        }
        page = padded;
    }

    std::vector<char> text(page.c_str(), page.c_str() + page.size() + 1);
    for (auto _ : state) {
        if (extractor.cleansInPlace) std::memcpy(text.data(), page.c_str(), page.size() + 1);
        if (!extractor.cut(text.data(), nullptr)) {
            state.SkipWithError(g_lastError.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.SetLabel(std::to_string(page.size()) + " bytes");
}

// The copy that the in-place extractors pay for in every iteration.
void BM_CopyPage(benchmark::State& state) {
    const std::string page(static_cast<std::size_t>(state.range(0)), 'x');
    std::vector<char> text(page.size() + 1);
    for (auto _ : state) {
        std::memcpy(text.data(), page.c_str(), page.size() + 1);
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CopyPage)->Arg(1024)->Arg(static_cast<int64_t>(kTransferCapacity));

[[maybe_unused]] const bool kRegistered = [] {
    for (const Extractor& extractor : kExtractors) {
        const std::string name = std::string("Extract") + extractor.name;
        benchmark::RegisterBenchmark((name + "/recorded").c_str(), BM_Extract, extractor, false);
        benchmark::RegisterBenchmark((name + "/full_page").c_str(), BM_Extract, extractor, true);
    }
    return true;
}();

}  // namespace
}  // namespace tp
