// Cost of one read and one write of a key in a settings file of about 200 keys,
// the size of a file with every customization stored.
#include "settings/ini_file.h"

#include "app/text_format.h"
#include "platform/text_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

void BM_GetStringLastKey(benchmark::State& state) {
    const SettingsFile file;
    if (tp::ini::GetString(file.path(), "section9", "key019", "", 1024).empty()) {
        state.SkipWithError("the settings file was not written");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tp::ini::GetString(file.path(), "section9", "key019", "", 1024));
    }
}
BENCHMARK(BM_GetStringLastKey);

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
