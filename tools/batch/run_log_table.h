// The run log as the user reads it on a terminal.
#pragma once

#include "run/run_log.h"

#include <string>
#include <vector>

namespace tp {

// The last count runs of runs (oldest first), one row each, under a heading:
// start, end, outcome, exit status, fetches, fetches that did not end well,
// fetches tried more than once, pages written (of which kept). Then the
// failing sources, if any. "No run has been logged yet.\n" for no runs.
std::string RunLogTable(const std::vector<LoggedRun>& runs, std::size_t count);

}  // namespace tp
