// Fetching an 80 KB page from a server on this machine: the cost of one fetch
// apart from the network (handle set-up, copying into the buffer, the raw copy).
#include "net/fetch_url.h"

#include "app/globals.h"

#include "tests/support/http_server.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void BM_FetchUrl80K(benchmark::State& state) {
    // download.txt is written to the current directory: use a scratch folder.
    std::string folder = (std::filesystem::temp_directory_path() / "tidepost-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);

    tp::test::HttpServer server;
    std::string page;
    for (std::size_t i = 0; page.size() < tp::kTransferCapacity - 80; ++i)
        page += "Line " + std::to_string(i) + " of a page of news headlines and weather text.\n";
    server.Serve("/page", page);
    const std::string url = server.url("/page");

    for (auto _ : state) {
        if (!tp::FetchUrl(url)) {
            state.SkipWithError(tp::g_lastError.c_str());
            break;
        }
        benchmark::DoNotOptimize(tp::g_transferLength);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FetchUrl80K)->Unit(benchmark::kMicrosecond);

}  // namespace
