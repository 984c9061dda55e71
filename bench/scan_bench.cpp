// Tag searches over a full transfer buffer of converted text, with the tag near
// the end so that each search walks nearly all of it.
#include "extract/scan.h"

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

void BM_FindTag(benchmark::State& state) {
    const std::string tag = "Precip. %\nForecast";
    const char* text = FullBuffer(tag);
    for (auto _ : state) benchmark::DoNotOptimize(tp::FindTag(text, 0, tag));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tp::kTransferCapacity));
}
BENCHMARK(BM_FindTag);

void BM_FindAfterTag(benchmark::State& state) {
    const std::string tag = "Pressure 1013 hPa, Sunny";
    const char* text = FullBuffer(tag);
    for (auto _ : state) benchmark::DoNotOptimize(tp::FindAfterTag(text, 0, tag));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tp::kTransferCapacity));
}
BENCHMARK(BM_FindAfterTag);

void BM_FindAfterTagMiss(benchmark::State& state) {
    const char* text = FullBuffer("");
    const std::string tag = "Pressure 1013 hPa, Sunny";
    for (auto _ : state) benchmark::DoNotOptimize(tp::FindAfterTag(text, 0, tag));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tp::kTransferCapacity));
}
BENCHMARK(BM_FindAfterTagMiss);

}  // namespace
