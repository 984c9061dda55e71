#include "tools/batch/batch_runner.h"

#include "app/globals.h"
#include "app/paths.h"
#include "app/startup.h"
#include "net/download_run.h"
#include "net/fetch_url.h"
#include "net/local_conversion.h"
#include "resources/string_table.h"
#include "settings/settings_model.h"
#include "tools/batch/terminal_run_view.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tp {
namespace {

const char kUsage[] =
    "Usage: tidepost-batch [/autorun] [--help] [--version]\n"
    "       tidepost-batch --show-text ADDRESS\n"
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
    "\n"
    "Exit status: 0 completed with every selected page written, 1 stopped or a\n"
    "topic failed, 2 refused by the validation, 64 usage error or missing data\n"
    "folder.\n";

// Prints what the extractors would see of address: the fetched text up to its
// first zero byte, as it is (Windows Latin-1, line feeds).
int ShowText(const std::string& address, std::ostream& out, std::ostream& err) {
    Settings settings;
    ReadSettings(settings);
    SetLocalConversion(settings.general.localConversion);
    if (!FetchUrl(address)) {
        err << "tidepost-batch: " << g_lastError << '\n';
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

}  // namespace

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::optional<std::string> showText;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--show-text") {
            if (i + 1 >= arguments.size() || arguments.size() != 2) {
                err << "tidepost-batch: --show-text takes one address and nothing else\n" << kUsage;
                return kBatchUsage;
            }
            showText = arguments[++i];
            continue;
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
        err << "tidepost-batch: the data folder '" << dataFolder << "' does not exist\n";
        return kBatchUsage;
    }

    if (!PrepareDataFolder()) {
        err << "tidepost-batch: " << g_lastError << '\n';
        return kBatchFailed;
    }
    if (!StartNetworking()) {
        err << LoadStringResource(kSocketStartFailed) << '\n';
        return kBatchFailed;
    }
    if (showText) return ShowText(*showText, out, err);
    Settings settings;
    ReadSettings(settings);

    TerminalRunView view(out, err);
    const RunOutcome outcome = RunDownload(settings, view);
    switch (outcome.end) {
    case RunEnd::Refused:
        return kBatchRefused;
    case RunEnd::Stopped:
        return kBatchFailed;
    case RunEnd::Completed:
        break;
    }
    return outcome.AllPagesWritten() ? kBatchCompleted : kBatchFailed;
}

}  // namespace tp
