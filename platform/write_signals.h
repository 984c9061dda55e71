// Signals that writing raises on this system.
#pragma once

namespace tp {

// Ignores SIGPIPE (a reader of standard output that went away) and SIGXFSZ (a
// file-size limit reached), so both become write errors that the program
// reports, instead of killing it halfway through a run.
void IgnoreWriteSignals();

}  // namespace tp
