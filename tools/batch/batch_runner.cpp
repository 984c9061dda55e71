#include "tools/batch/batch_runner.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/startup.h"
#include "run/download_run.h"
#include "run/run_log.h"
#include "run/source_health.h"
#include "net/fetch_url.h"
#include "resources/string_table.h"
#include "platform/text_file.h"
#include "settings/ini_file.h"
#include "settings/range_checks.h"
#include "settings/settings_model.h"
#include "tools/batch/run_log_table.h"
#include "tools/batch/source_checks.h"
#include "tools/batch/terminal_run_view.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace tp {
namespace {

const char kUsage[] =
    "Usage: tidepost-batch [/autorun] [--help] [--version]\n"
    "       tidepost-batch --show-text ADDRESS\n"
    "       tidepost-batch --log [N]\n"
    "       tidepost-batch --check [--json] [TOPIC...]\n"
    "\n"
    "Runs one download with the settings of the Tidepost data folder (TIDEPOST_HOME,\n"
    "or the folder of this program) and writes the pages into its xml/ folder.\n"
    "Status texts go to standard output, one per line (a line break inside one is\n"
    "shown as \\n); messages go to standard error.\n"
    "\n"
    "  /autorun    accepted for compatibility; every start is a download run\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "  --show-text ADDRESS\n"
    "              fetch ADDRESS as a download does (converted here when the\n"
    "              setting LocalConversion is 1) and print the text in which the\n"
    "              tags are searched; no page is written\n"
    "  --log [N]   show the last N runs of the run log (log/runs.jsonl of the\n"
    "              data folder; 10 when N is not given) and the sources failing\n"
    "              in each of their last 3 runs; no download is run\n"
    "  --check [--json] [TOPIC...]\n"
    "              fetch and cut every source of the selected topics, or of the\n"
    "              TOPICs named (weather, news, stocks, movies, directions,\n"
    "              astro), with the codes of the settings, and print one line per\n"
    "              source: topic, key of its address, code, outcome; for a tag not\n"
    "              found, the replacement to try. With --json, one JSON object per\n"
    "              line instead. No page is written; exit status 0 when every\n"
    "              source is ok, 1 otherwise\n"
    "\n"
    "Exit status: 0 completed with every selected page written, 1 stopped or a\n"
    "topic failed, 2 refused by the validation or no topic selected, 64 usage\n"
    "error or missing data folder, 75 another download running in the folder.\n";

// The range check that refused the run, named by its place in the file.
void NameRefusedRange(const Settings& settings, const std::string& iniPath, std::ostream& err) {
    std::optional<RangeViolation> violation = CheckMainWindowRanges(settings.main);
    if (!violation) violation = CheckGeneralRanges(settings.general);
    if (!violation) return;
    const SettingsKeyName name = RangedFieldKey(violation->field);
    err << "tidepost-batch: section [" << name.section << "], key \"" << name.key << "\" of "
        << iniPath << " is outside " << violation->low << ".." << violation->high << '\n';
}

// Prints what the extractors would see of address: the fetched text up to its
// first zero byte, as it is (Windows Latin-1, line feeds).
// The fetch takes the time-outs and the conversion setting of the settings
// file, and reports its problems in words as a run does.
int ShowText(const std::string& address, std::ostream& out, std::ostream& err) {
    Settings settings;
    ReadSettings(settings);
    TakeDiagnostics();
    // One try: the user is looking at this very answer.
    FetchOptions options = FetchOptionsOf(settings.general);
    options.retries = 0;
    const bool fetched = FetchUrl(address, options);
    bool namedTheError = false;
    for (const std::string& line : TakeDiagnostics()) {
        err << "tidepost-batch: " << line << '\n';
        namedTheError = namedTheError || line.find(g_lastError) != std::string::npos;
    }
    if (!fetched) {
        if (!namedTheError) err << "tidepost-batch: " << g_lastError << '\n';
        return kBatchFailed;
    }
    const std::string_view text(g_transferBuffer);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (text.size() < g_transferLength) {
        err << "tidepost-batch: the text ends at a zero byte after " << text.size() << " of "
            << g_transferLength << " bytes; the tags are searched only before it\n";
    }
    return kBatchCompleted;
}

// Says which of the program's own numbers the file held in a form that could
// not be taken, and the value used instead.
void NameResetKeys(const std::vector<SettingReset>& resets, const std::string& iniPath, std::ostream& err) {
    for (const SettingReset& reset : resets) {
        err << "tidepost-batch: section [" << reset.section << "], key \"" << reset.key << "\" of " << iniPath
            << " holds '" << reset.value << "', not a number within its bounds; " << reset.used << " is used\n";
    }
}

// After a run: the sources that failed in each of their last runs.
void NameFailingSources(std::ostream& err) {
    for (const FailingSource& source : FailingSources(ReadRunLog(GetExeFolder()))) {
        err << "tidepost-batch: " << source.topic << ": " << source.address << " failed in each of its last "
            << kFailingRuns << " runs";
        if (!source.lastError.empty()) err << " (" << source.lastError << ")";
        err << '\n';
    }
}

// --check: refused as a run of the topics checked would be.
int CheckSettingsSources(const Settings& settings, const CheckRequest& request, const std::string& iniPath,
                         std::ostream& out, std::ostream& err) {
    const Settings checked = CheckedSettings(settings, request);
    if (!AnyTopicSelected(checked)) {
        err << "tidepost-batch: no topic that fetches web pages is selected in " << iniPath << '\n';
        return kBatchRefused;
    }
    TerminalRunView view(out, err);
    if (!SettingsAllowRun(checked, view)) {
        NameRefusedRange(checked, iniPath, err);
        return kBatchRefused;
    }
    return CheckSources(checked, request.json, out, err);
}

// N of --log: a whole decimal number from 1 on.
bool ReadRunCount(const std::string& text, std::size_t& count) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    count = static_cast<std::size_t>(std::stoul(text));
    return count > 0;
}

}  // namespace

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::optional<std::string> showText;
    std::optional<std::size_t> logRuns;
    std::optional<CheckRequest> check;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--log") {
            std::size_t count = 10;
            if (i + 1 < arguments.size() && !ReadRunCount(arguments[i + 1], count)) {
                err << "tidepost-batch: --log takes a number of runs from 1 on and nothing else\n" << kUsage;
                return kBatchUsage;
            }
            if (arguments.size() > 2) {
                err << "tidepost-batch: --log takes a number of runs from 1 on and nothing else\n" << kUsage;
                return kBatchUsage;
            }
            if (i + 1 < arguments.size()) ++i;
            logRuns = count;
            continue;
        }
        if (argument == "--show-text") {
            if (i + 1 >= arguments.size() || arguments.size() != 2) {
                err << "tidepost-batch: --show-text takes one address and nothing else\n" << kUsage;
                return kBatchUsage;
            }
            showText = arguments[++i];
            continue;
        }
        if (argument == "--check") {
            std::string error;
            check.emplace();
            if (!ReadCheckArguments({arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end()}, *check,
                                    error)) {
                err << "tidepost-batch: " << error << '\n' << kUsage;
                return kBatchUsage;
            }
            break;
        }
        if (argument == "--help" || argument == "-h") {
            out << kUsage << "\nData folder: " << GetExeFolder() << '\n';
            return kBatchCompleted;
        }
        if (argument == "--version") {
            out << LoadStringResource(kVersionText) << '\n';
            return kBatchCompleted;
        }
        if (argument != "/autorun") {
            err << "tidepost-batch: unknown argument '" << argument << "'\n" << kUsage;
            return kBatchUsage;
        }
    }

    // A mistyped TIDEPOST_HOME would otherwise run with default settings into
    // nowhere and report success.
    const std::string dataFolder = GetExeFolder();
    std::error_code ec;
    const char* home = std::getenv("TIDEPOST_HOME");
    if (home && *home && !std::filesystem::is_directory(dataFolder, ec)) {
        const bool exists = std::filesystem::exists(dataFolder.substr(0, dataFolder.size() - 1), ec);
        err << "tidepost-batch: the data folder '" << dataFolder << (exists ? "' is not a folder\n" : "' does not exist\n");
        return kBatchUsage;
    }

    if (logRuns) {
        out << RunLogTable(ReadRunLog(dataFolder), *logRuns);
        return kBatchCompleted;
    }

    if (!PrepareDataFolder()) {
        err << "tidepost-batch: " << g_lastError << '\n';
        return kBatchFailed;
    }
    if (!StartNetworking()) {
        err << LoadStringResource(kSocketStartFailed) << '\n';
        return kBatchFailed;
    }
    // One reading of the settings file for all that follows.
    const ini::FrozenReading oneReading(GetIniPath());
    if (showText) return ShowText(*showText, out, err);
    // Without its settings file the run would use the defaults, which select
    // nothing: say which file was missing rather than report an empty success.
    const std::string iniPath = GetIniPath();
    std::string iniBytes;
    if (!ReadBinaryFile(iniPath, iniBytes)) {
        err << "tidepost-batch: cannot read the settings file " << iniPath << ": "
            << std::strerror(errno) << '\n';
    }
    Settings settings;
    std::vector<SettingReset> resets;
    ReadSettings(settings, &resets);
    NameResetKeys(resets, iniPath, err);
    if (check) return CheckSettingsSources(settings, *check, iniPath, out, err);
    // The window's Download button is disabled in this case.
    if (!AnyTopicSelected(settings)) {
        err << "tidepost-batch: no topic is selected in " << iniPath << '\n';
        return kBatchRefused;
    }

    TerminalRunView view(out, err);
    const RunOutcome outcome = RunDownload(settings, view);
    if (outcome.end == RunEnd::Stopped || outcome.end == RunEnd::Completed) NameFailingSources(err);
    switch (outcome.end) {
    case RunEnd::Refused:
        NameRefusedRange(settings, iniPath, err);
        return kBatchRefused;
    case RunEnd::Busy:
        return kBatchBusy;
    case RunEnd::Stopped:
        return kBatchFailed;
    case RunEnd::Completed:
        break;
    }
    return outcome.AllPagesWritten() ? kBatchCompleted : kBatchFailed;
}

}  // namespace tp
