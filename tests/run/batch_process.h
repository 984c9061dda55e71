// Runs the built tidepost-batch as a real process and captures what it prints.
#pragma once

#include "tests/support/child_process.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace tp::test {

using BatchResult = ProcessResult;

// The runner with arguments, in the current environment (TIDEPOST_HOME included).
inline BatchResult RunBatchProcess(const std::vector<std::string>& arguments) {
    return RunProcess(TIDEPOST_BATCH_PATH, arguments);
}

// Runs script with bash -c, with the runner's path in the environment variable
// TIDEPOST_BATCH, e.g. "ulimit -f 1; exec \"$TIDEPOST_BATCH\"". The result is
// the shell's.
inline BatchResult RunBatchThroughShell(const std::string& script) {
    ::setenv("TIDEPOST_BATCH", TIDEPOST_BATCH_PATH, 1);
    return RunProcess("/bin/bash", {"-c", script});
}

}  // namespace tp::test
