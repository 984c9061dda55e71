// Tag searches over a full transfer buffer of converted text, with the tag near
// the end so that each search walks nearly all of it.
#include "topics/scan.h"

#include "app/globals.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Lines of converted text, rich in link markers and in the tag's first letters,
// filling the buffer, with the tag as the very last line.
const char* FullBuffer(const std::string& tag) {
    static std::string text;
    const std::string line = "[12]Paris: Precip. 20 % [13]Pressure 1013 hPa, Partly cloudy\n";
    text.clear();
    while (text.size() + line.size() + tag.size() < tp::kTransferCapacity) text += line;
    text += tag;
    return text.c_str();
}

// Runs search over the buffer ending in lastLine, counting the buffer's bytes.
template <typename Search>
void RunSearch(benchmark::State& state, const std::string& lastLine, Search search) {
    const char* text = FullBuffer(lastLine);
    for (auto _ : state) benchmark::DoNotOptimize(search(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tp::kTransferCapacity));
}

const std::string kWeatherTag = "Precip. %\nForecast";
const std::string kRatesTag = "Pressure 1013 hPa, Sunny";

void BM_FindTag(benchmark::State& state) {
    RunSearch(state, kWeatherTag, [](const char* text) { return tp::FindTag(text, 0, kWeatherTag); });
}
BENCHMARK(BM_FindTag);

void BM_FindAfterTag(benchmark::State& state) {
    RunSearch(state, kRatesTag, [](const char* text) { return tp::FindAfterTag(text, 0, kRatesTag); });
}
BENCHMARK(BM_FindAfterTag);

// A miss walks the whole buffer and writes the error text each time.
void BM_FindAfterTagMiss(benchmark::State& state) {
    RunSearch(state, "", [](const char* text) { return tp::FindAfterTag(text, 0, kRatesTag); });
}
BENCHMARK(BM_FindAfterTagMiss);

}  // namespace
