#include "run/source_health.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace tp {

std::vector<FailingSource> FailingSources(const std::vector<LoggedRun>& runs) {
    using Source = std::tuple<std::string, std::string, std::string>;
    struct Record {
        int failuresInARow = 0;
        std::string lastError;
        std::size_t lastRun = 0;
        std::size_t order = 0;  // of its first fetch in that run
    };
    std::map<Source, Record> sources;
    for (std::size_t runIndex = 0; runIndex < runs.size(); ++runIndex) {
        // Per source of this run: failed (any fetch did not end well), or not.
        std::map<Source, std::pair<bool, std::string>> outcomes;
        std::map<Source, std::size_t> order;
        for (const FetchRecord& fetch : runs[runIndex].fetches) {
            if (fetch.outcome == kFetchDeadline) continue;
            const Source source{fetch.topic, fetch.key, fetch.address};
            order.emplace(source, order.size());
            auto& [failed, error] = outcomes[source];
            if (fetch.outcome != kFetchOk && !failed) {
                failed = true;
                error = fetch.error;
            }
        }
        for (const auto& [source, outcome] : outcomes) {
            Record& record = sources[source];
            record.failuresInARow = outcome.first ? record.failuresInARow + 1 : 0;
            record.lastError = outcome.second;
            record.lastRun = runIndex;
            record.order = order[source];
        }
    }
    std::vector<std::pair<std::pair<std::size_t, std::size_t>, FailingSource>> failing;
    for (const auto& [source, record] : sources) {
        if (record.failuresInARow < kFailingRuns) continue;
        // Newest runs first, then in the order of the run.
        failing.push_back({{runs.size() - record.lastRun, record.order},
                           {std::get<0>(source), std::get<1>(source), std::get<2>(source), record.lastError}});
    }
    std::sort(failing.begin(), failing.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FailingSource> result;
    for (auto& entry : failing) result.push_back(std::move(entry.second));
    return result;
}

std::string AttentionText(std::size_t failingSources) {
    if (failingSources == 0) return {};
    if (failingSources == 1) return "1 source needs attention";
    return std::to_string(failingSources) + " sources need attention";
}

std::string FailingSourcesDetails(const std::vector<FailingSource>& sources) {
    std::string details;
    for (const FailingSource& source : sources) {
        details += source.topic + ": " + source.address;
        if (!source.lastError.empty()) details += ": " + source.lastError;
        details += '\n';
    }
    return details;
}

std::string LastRunText(const std::vector<LoggedRun>& runs) {
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        if (!run->summary.outcome.empty()) {
            return "Last download: " + run->summary.start + " (UTC), " + run->summary.outcome;
        }
    }
    return "No download logged yet";
}

}  // namespace tp
