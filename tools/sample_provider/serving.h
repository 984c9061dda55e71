// How the sample provider serves: many requests at once, each answered after
// an optional delay that stands in for the round trip of a distant server,
// each request target written to an optional log as it arrives, and connections
// kept alive answered as fast as new ones.
#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace tp::sample {

// Threads answering at once. A connection kept alive holds its thread while it
// waits for the next request, so this is also the number of open connections
// served without waiting; a parallel download opens a few dozen at most.
inline constexpr std::size_t kServingThreads = 64;

struct ServingOptions {
    // Every answer waits this long; only its own request waits for it.
    std::chrono::milliseconds delay{0};
    // Each request's target (path and query as sent) on a line of its own,
    // in the order the requests arrive; empty: no log.
    std::string logPath;
};

class ServingServer : public httplib::Server {
public:
    // Call before Bind. False with the reason in error when the log cannot be
    // created.
    bool Configure(const ServingOptions& options, std::string& error);

    // Listens on 127.0.0.1:port (0: a free port); the port, or 0 when it
    // cannot. The queue of connections not yet accepted is the system's
    // longest, so many connections made at once are not held back by a
    // retransmission of the refused ones.
    int Bind(int port);
};

}  // namespace tp::sample
