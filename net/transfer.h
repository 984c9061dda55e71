// One HTTP transfer from start to outcome: what is asked for, how the body is
// kept, and what the transfer came to. The outcome is plain data, so a transfer
// can run on any thread and be reported later by the one who asked for it.
#pragma once

#include "app/globals.h"
#include "net/local_conversion.h"

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tp {

// Time-outs of the transfer, in seconds: connecting, a transfer that delivers
// nothing for that long (before or after the headers), and the whole fetch.
// A stall or total time of 0 turns that check off; a connect time of 0 leaves
// libcurl's own limit. The total time's failure reads
// "InternetReadFile Error: 1c (fetch time-out of <n> s)".
struct FetchTimeouts {
    long connectSeconds = 60;
    long stallSeconds = 60;
    long totalSeconds = 120;
    // Set by the user's Stop: a transfer ends at its next progress call (about
    // once a second at the latest) and fails "stopped by the user". Null: never.
    const std::atomic<bool>* stop = nullptr;
};

// How the fetches of one caller are made: their time-outs, and whether an
// address of the conversion service is answered here (see local_conversion.h).
struct FetchOptions {
    FetchTimeouts timeouts;
    bool localConversion = false;
};

// What one fetch asks for.
struct FetchJob {
    // Sent as it stands: already percent-encoded.
    std::string address;
    // Bytes of body (or of converted text) kept; the rest is not downloaded.
    std::size_t capacity = kTransferCapacity;
    // Set: the body is a page converted here, as the conversion service would.
    std::optional<ConversionRequest> conversion;
    // Set: nothing is fetched and the fetch fails with this text.
    std::string refusal;
};

// What a fetch came to.
struct FetchResult {
    bool ok = false;
    std::string text;        // the body's first bytes, or the converted text
    std::string error;       // the text for g_lastError when !ok
    std::string diagnostic;  // a line for the diagnostics ("" for none)
};

// A fetch of request's page, converted here into at most capacity bytes of text.
FetchJob ConversionJob(const ConversionRequest& request, std::size_t capacity);

// The job that a fetch makes of url: with local conversion on, an address of
// the conversion service becomes a fetch of its page, converted here.
FetchJob JobForUrl(const std::string& url, bool localConversion);

// A transfer set up on its own libcurl handle, ready to be performed at once or
// added to a multi handle. The handle is the transfer's own until Finish.
class PreparedTransfer {
public:
    PreparedTransfer(const FetchJob& job, const FetchTimeouts& timeouts);
    ~PreparedTransfer();
    PreparedTransfer(const PreparedTransfer&) = delete;
    PreparedTransfer& operator=(const PreparedTransfer&) = delete;

    // Null when the job needs no transfer or libcurl could not set one up;
    // Finish then tells why.
    CURL* Handle() const;
    // The outcome, once libcurl has ended the transfer with rc (any rc when
    // Handle() is null).
    FetchResult Finish(CURLcode rc);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Runs job on the calling thread, blocking until it ends.
FetchResult PerformJob(const FetchJob& job, const FetchTimeouts& timeouts);

}  // namespace tp
