// Starting another program without waiting for it.
#pragma once

#include <string>

namespace tp {

// Starts the command line detached from this process and returns at once.
// A command line naming a Windows program (a drive-letter path or a name ending
// in ".exe") goes through wine when wine is on the PATH; anything else is run
// by /bin/sh -c. Failures are silent.
void StartDetached(const std::string& commandLine);

// True when the command line names a Windows program as described above.
bool NamesWindowsProgram(const std::string& commandLine);

}  // namespace tp
