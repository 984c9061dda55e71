// Time from process start to the main window shown, as a user waits for it: a
// fresh process each iteration, with the installed data; beside it a trivial
// Qt Widgets window started the same way, the yardstick. Offscreen by default;
// on an X server (Xvfb) with QT_QPA_PLATFORM=xcb, see bench/startup_xvfb.sh.
#include "tests/support/child_process.h"
#include "tests/support/temp_home.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void TimeProcess(benchmark::State& state, const char* program) {
    for (auto _ : state) {
        const tp::test::ProcessResult result = tp::test::RunProcess(program, {});
        if (result.status != 0) {
            state.SkipWithError("the probe failed");
            break;
        }
    }
}

void BM_StartToMainWindowShown(benchmark::State& state) {
    tp::test::TempHome home;
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(tp::test::SourceDataFolder() + "cfg")) {
        fs::copy_file(entry.path(), home.path() + "cfg/" + entry.path().filename().string());
    }
    TimeProcess(state, TIDEPOST_STARTUP_PROBE);
}
BENCHMARK(BM_StartToMainWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_StartToTrivialWindowShown(benchmark::State& state) { TimeProcess(state, TIDEPOST_TRIVIAL_WINDOW_PROBE); }
BENCHMARK(BM_StartToTrivialWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
