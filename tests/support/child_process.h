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

// A program running in the background for as long as the object lives (ended
// with SIGTERM), in the current environment, its standard output read line
// by line; a server that prints its port, for instance.
class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The next line of its standard output, without its line feed; "" once
    // the output has ended.
    std::string ReadLine();

private:
    int pid_ = -1;
    int output_ = -1;
};

}  // namespace tp::test
