#include "tools/batch/batch_runner.h"

#include "app/paths.h"
#include "app/startup.h"
#include "net/download_run.h"
#include "resources/string_table.h"
#include "platform/text_file.h"
#include "settings/range_checks.h"
#include "settings/settings_model.h"
#include "tools/batch/terminal_run_view.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tp {
namespace {

const char kUsage[] =
    "Usage: tidepost-batch [/autorun] [--help] [--version]\n"
    "\n"
    "Runs one download with the settings of the Tidepost data folder (TIDEPOST_HOME,\n"
    "or the folder of this program) and writes the pages into its xml/ folder.\n"
    "Status texts go to standard output, one per line (a line break inside one is\n"
    "shown as \\n); messages go to standard error.\n"
    "\n"
    "  /autorun    accepted for compatibility; every start is a download run\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
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

}  // namespace

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << kUsage;
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
    if (!std::filesystem::is_directory(dataFolder, ec)) {
        err << "tidepost-batch: the data folder '" << dataFolder << "' does not exist\n";
        return kBatchUsage;
    }

    if (!StartNetworking()) {
        err << LoadStringResource(kSocketStartFailed) << '\n';
        return kBatchFailed;
    }
    // Without its settings file the run would use the defaults, which select
    // nothing: say which file was missing rather than report an empty success.
    const std::string iniPath = GetIniPath();
    std::string iniBytes;
    if (!ReadBinaryFile(iniPath, iniBytes)) {
        err << "tidepost-batch: cannot read the settings file " << iniPath << ": "
            << std::strerror(errno) << '\n';
    }
    Settings settings;
    ReadSettings(settings);
    // The window's Download button is disabled in this case.
    if (!AnyTopicSelected(settings)) {
        err << "tidepost-batch: no topic is selected in " << iniPath << '\n';
        return kBatchRefused;
    }

    TerminalRunView view(out, err);
    const RunOutcome outcome = RunDownload(settings, view);
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
