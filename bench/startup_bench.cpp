// Time from process start to the main window shown (offscreen), as a user
// waits for it: a fresh process each iteration, with the installed data.
#include "tests/support/child_process.h"
#include "tests/support/temp_home.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_StartToMainWindowShown(benchmark::State& state) {
    tp::test::TempHome home;
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(tp::test::SourceDataFolder() + "cfg")) {
        fs::copy_file(entry.path(), home.path() + "cfg/" + entry.path().filename().string());
    }
    for (auto _ : state) {
        const tp::test::ProcessResult result = tp::test::RunProcess(TIDEPOST_STARTUP_PROBE, {});
        if (result.status != 0) {
            state.SkipWithError("the probe failed");
            break;
        }
    }
}
BENCHMARK(BM_StartToMainWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
