#include "tools/batch/run_log_table.h"

#include "app/text_format.h"
#include "run/source_health.h"

#include <algorithm>

namespace tp {
namespace {

std::string Row(const std::string& start, const std::string& end, const std::string& outcome,
                const std::string& exitStatus, const std::string& fetches, const std::string& failed,
                const std::string& retried, const std::string& pages) {
    return Format("%-20s  %-20s  %-23s  %4s  %7s  %6s  %7s  %s\n", start.c_str(), end.c_str(), outcome.c_str(),
                  exitStatus.c_str(), fetches.c_str(), failed.c_str(), retried.c_str(), pages.c_str());
}

}  // namespace

std::string RunLogTable(const std::vector<LoggedRun>& runs, std::size_t count) {
    if (runs.empty()) return "No run has been logged yet.\n";
    std::string table = Row("Start", "End", "Outcome", "Exit", "Fetches", "Failed", "Retried", "Pages");
    const std::size_t first = runs.size() - std::min(count, runs.size());
    for (std::size_t i = first; i < runs.size(); ++i) {
        const LoggedRun& run = runs[i];
        const auto failed = std::count_if(run.fetches.begin(), run.fetches.end(),
                                          [](const FetchRecord& f) { return f.outcome != kFetchOk; });
        const auto retried =
            std::count_if(run.fetches.begin(), run.fetches.end(), [](const FetchRecord& f) { return f.tries > 1; });
        const auto kept =
            std::count_if(run.pages.begin(), run.pages.end(), [](const PageRecord& p) { return p.kept; });
        std::string pages = std::to_string(run.pages.size());
        if (kept > 0) pages += " (" + std::to_string(kept) + " kept)";
        // A run cut short by a crash has no summary.
        const std::string outcome = run.summary.outcome.empty() ? "unfinished" : run.summary.outcome;
        const std::string exitStatus = run.summary.outcome.empty() ? "-" : std::to_string(run.summary.exitStatus);
        table += Row(run.summary.start, run.summary.end, outcome, exitStatus, std::to_string(run.fetches.size()),
                     std::to_string(failed), std::to_string(retried), pages);
    }
    const std::vector<FailingSource> failing = FailingSources(runs);
    if (!failing.empty()) {
        table += Format("\nFailing in each of their last %d runs:\n", kFailingRuns);
        const std::string details = FailingSourcesDetails(failing);
        for (std::size_t start = 0, end; (end = details.find('\n', start)) != std::string::npos; start = end + 1) {
            table += "  " + details.substr(start, end - start + 1);
        }
    }
    return table;
}

}  // namespace tp
