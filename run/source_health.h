// Which sources keep failing, as the run log tells it.
#pragma once

#include "run/run_log.h"

#include <string>
#include <vector>

namespace tp {

// A source that failed in each of its last kFailingRuns runs.
inline constexpr int kFailingRuns = 3;

struct FailingSource {
    std::string topic;
    std::string key;
    std::string address;
    std::string lastError;  // in words, of its last run
};

// The failing sources of runs (oldest first), in the order they were first
// fetched in the newest run that fetched them. A source is one address of one
// customizable text of a topic; it failed in a run when a fetch of it did not
// end well (a stop at the run's deadline is no fault of the source's and does
// not count either way). A run in which it did well clears it.
std::vector<FailingSource> FailingSources(const std::vector<LoggedRun>& runs);

// "1 source needs attention" / "N sources need attention"; "" for none.
std::string AttentionText(std::size_t failingSources);

// One line per source: "<topic>: <address>: <error>".
std::string FailingSourcesDetails(const std::vector<FailingSource>& sources);

// "Last download: <start> (UTC), <outcome>", or "No download logged yet".
std::string LastRunText(const std::vector<LoggedRun>& runs);

}  // namespace tp
