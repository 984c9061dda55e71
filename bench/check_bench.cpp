// What a check costs beyond its fetch: a text already fetched, as long as the
// transfer buffer holds, cut by the topic's own code into the cards its page
// would get; and the suggestions for a tag that went missing from such a text,
// each candidate cut the same way, with the source's last good text at hand.
// Goals: a check under 5 ms, the suggestions under 50 ms.
#include "app/globals.h"
#include "bench/full_page.h"
#include "check/tag_suggestions.h"
#include "tests/check/check_home.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tp {
namespace {

struct Source {
    const char* name;
    int address;
    const char* code;
    const char* page;  // of the sample provider
    // A site's change that takes a tag away (for the suggestions).
    const char* from;
    const char* to;
};

const Source kSources[] = {
    {"WeatherUsa", 104, "10001", "weather/us/10001.txt", "Precip. %", "Chance of rain"},
    {"WeatherEurope", 130, "UKXX/UKXX0085", "weather/en/UKXX_UKXX0085.txt", "   <- Back", "   Back"},
    {"News", 106, "", "news/en/world.txt", "]Photos\n\n", "]Photos\n\n\n"},
    {"Quote", 118, "IBM", "quotes/IBM.txt", "Last Trade", "Last Price"},
    {"Rates", 117, "EUR/USD", "rates/EUR_USD.html", "<td><font", "<td class=\"rate\"><font"},
    {"Movies", 120, "", "movies/us/now_playing.txt", "]Reviews", "]All Reviews"},
    {"Directions", 137, test::kUsItinerary, "directions/us/350+5th+Ave_New+York,+NY_1+Penn+Plz_New+York,+NY.txt",
     "Miles", "Mileage"},
    {"Horoscope", 140, "leo", "astro/leo.txt", "astrology.example.com", "stars.example.net"},
};

// Whether the data folder, made once for all the benchmarks, is ready.
bool HomeReady() {
    static const test::TempHome home;
    static const bool prepared = test::PrepareCheckHome(home);
    return prepared;
}

// The target of source, and its full page; false with the reason set on state.
bool Arrange(benchmark::State& state, const Source& source, CheckTarget& target, std::string& page) {
    const std::string recorded = test::SamplePage(source.page);
    if (!HomeReady() || recorded.empty() || !TargetForAddress(Settings{}, source.address, source.code, {}, target)) {
        state.SkipWithError(recorded.empty() ? "no sample page" : g_lastError.c_str());
        return false;
    }
    page = bench::PadToFullPage(recorded, bench::TextMenuLine);
    // The menu must only move the cards, never change them.
    if (CutText(target, page).cardsXml != CutText(target, recorded).cardsXml) {
        state.SkipWithError("the full page cuts differently from the recorded one");
        return false;
    }
    return true;
}

void BM_CheckFetched(benchmark::State& state, const Source& source) {
    CheckTarget target;
    std::string page;
    if (!Arrange(state, source, target, page)) return;
    const FetchResult fetched = test::FetchedText(page);
    for (auto _ : state) {
        const SourceCheck check = CheckFetched(target, fetched, source.page);
        if (check.outcome != CheckOutcome::Ok) {
            state.SkipWithError(OutcomeText(check).c_str());
            break;
        }
    }
    state.SetLabel(std::to_string(page.size()) + " bytes");
}

void BM_SuggestTags(benchmark::State& state, const Source& source) {
    CheckTarget target;
    std::string lastGood;
    if (!Arrange(state, source, target, lastGood)) return;
    std::string changed = lastGood;
    test::ReplaceAll(changed, source.from, source.to);
    const SourceCheck broken = CheckFetched(target, test::FetchedText(changed), source.page);
    if (broken.outcome != CheckOutcome::TagMissing) {
        state.SkipWithError("the change takes no tag away");
        return;
    }
    std::size_t offered = 0;
    for (auto _ : state) {
        const auto suggestions = SuggestTags(broken, &lastGood);
        offered = suggestions.size();
        benchmark::DoNotOptimize(suggestions);
    }
    state.SetLabel(std::to_string(broken.text.size()) + " bytes, " + std::to_string(offered) + " offered");
}

[[maybe_unused]] const bool kRegistered = [] {
    for (const Source& source : kSources) {
        benchmark::RegisterBenchmark((std::string("CheckFetched/") + source.name).c_str(), BM_CheckFetched, source)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("SuggestTags/") + source.name).c_str(), BM_SuggestTags, source)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
}  // namespace tp
