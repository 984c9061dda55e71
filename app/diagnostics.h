// Diagnostics: lines that say in words what went wrong in a step of a download
// run (the address or file, the system's or the library's reason). The steps
// note them as they go; the run hands them to its view after each topic, and
// the headless runner prints them on standard error.
#pragma once

#include <string>
#include <vector>

namespace tp {

// Keeps line for the next TakeDiagnostics. Beyond a few dozen lines per topic
// further ones are dropped, so a hostile page cannot grow the list without end.
void NoteDiagnostic(std::string line);

// The lines noted since the last call, oldest first; the list is emptied.
std::vector<std::string> TakeDiagnostics();

}  // namespace tp
