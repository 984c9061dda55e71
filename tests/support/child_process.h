// Runs a built program as a real process and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace tp::test {

struct ProcessResult {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Starts program with arguments in the current environment (TIDEPOST_HOME
// included) and waits for it. Its standard input is a pipe kept open and never
// written, so a program that waited for input would never end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tp::test
