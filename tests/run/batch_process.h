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

}  // namespace tp::test
