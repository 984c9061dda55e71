// Cost of one read and one write of a key in a settings file of about 200 keys,
// the size of a file with every customization stored.
#include "settings/ini_file.h"

#include "app/text_format.h"
#include "platform/text_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

class SettingsFile {
public:
    SettingsFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tidepost-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) folder_ = pattern;
        path_ = folder_ + "/Tidepost.ini";
        std::string text;
        for (int section = 0; section < 10; ++section) {
            text += tp::Format("[Section%d]\n", section);
            for (int key = 0; key < 20; ++key) {
                text += tp::Format("Key%03d=value of key %d in section %d\n", key, key, section);
            }
        }
        tp::WriteTextFile(path_, text);
    }
    ~SettingsFile() {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

// A file that has kept still for a while is read from memory after a stat.
void BM_GetStringLastKeyUnchangedFile(benchmark::State& state) {
    // Made once for every run of this benchmark: it has to age past the window in
    // which a recently changed file is always read afresh.
    static const SettingsFile file;
    static const bool aged = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2600));
        return true;
    }();
    if (!aged || tp::ini::GetString(file.path(), "section9", "key019", "", 1024).empty()) {
        state.SkipWithError("the settings file was not written");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tp::ini::GetString(file.path(), "section9", "key019", "", 1024));
    }
}
BENCHMARK(BM_GetStringLastKeyUnchangedFile);

// A file touched before every read is read and split again each time (the cost
// of the touch, one system call, included).
void BM_GetStringLastKeyChangedFile(benchmark::State& state) {
    const SettingsFile file;
    for (auto _ : state) {
        if (::utimensat(AT_FDCWD, file.path().c_str(), nullptr, 0) != 0) {
            state.SkipWithError("the settings file could not be touched");
            break;
        }
        benchmark::DoNotOptimize(tp::ini::GetString(file.path(), "section9", "key019", "", 1024));
    }
}
BENCHMARK(BM_GetStringLastKeyChangedFile);

void BM_WriteStringMiddleKey(benchmark::State& state) {
    const SettingsFile file;
    long round = 0;
    for (auto _ : state) {
        const std::string value = (++round % 2) ? "one value" : "another value";
        if (!tp::ini::WriteString(file.path(), "Section5", "Key010", value)) {
            state.SkipWithError("the settings file could not be written");
            break;
        }
    }
}
BENCHMARK(BM_WriteStringMiddleKey);

}  // namespace
