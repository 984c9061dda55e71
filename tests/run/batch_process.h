// Runs the built tidepost-batch as a real process and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace tp::test {

struct BatchResult {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Starts the runner with arguments in the current environment (TIDEPOST_HOME
// included). Its standard input is a pipe kept open and never written, so a
// runner that waited for input would never end.
BatchResult RunBatchProcess(const std::vector<std::string>& arguments);

// Runs script with bash -c, with the runner's path in the environment variable
// TIDEPOST_BATCH, e.g. "ulimit -f 1; exec \"$TIDEPOST_BATCH\"". The result is
// the shell's.
BatchResult RunBatchThroughShell(const std::string& script);

}  // namespace tp::test
