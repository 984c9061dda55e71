// Process start-up pieces shared by the GUI and the headless runner.
#pragma once

#include <string>
#include <vector>

namespace tp {

// True when "/autorun" occurs anywhere in the arguments (program name excluded),
// as a plain case-sensitive substring of the command line.
bool DetectAutoRun(const std::vector<std::string>& arguments);

// Starts the networking layer once per process (the socket start-up). False
// when it cannot be started; the caller then shows string resource 103.
bool StartNetworking();

}  // namespace tp
