// One HTTP transfer from start to outcome: what is asked for, how the body is
// kept, and what the transfer came to. The outcome is plain data, so a transfer
// can run on any thread and be reported later by the one who asked for it.
#pragma once

#include "app/globals.h"
#include "net/local_conversion.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tp {

// The moment by which a whole run must be over. A transfer still going then is
// stopped, and one asked for later is not started; either fails with
// "<step>: 1c (run deadline of <seconds> s)".
struct Deadline {
    std::chrono::steady_clock::time_point at{};
    long seconds = 0;  // 0: no deadline

    bool IsSet() const { return seconds > 0; }
    bool Passed(std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now()) const {
        return IsSet() && now >= at;
    }
};

// Time-outs of the transfer, in seconds: connecting, a transfer that delivers
// nothing for that long (before or after the headers), and the whole fetch.
// A stall or total time of 0 turns that check off; a connect time of 0 leaves
// libcurl's own limit. The total time's failure reads
// "InternetReadFile Error: 1c (fetch time-out of <n> s)".
struct FetchTimeouts {
    long connectSeconds = 60;
    long stallSeconds = 60;
    long totalSeconds = 120;
    Deadline run;
    // Set by the user's Stop: a transfer ends at its next progress call (about
    // once a second at the latest) and fails "stopped by the user". Null: never.
    const std::atomic<bool>* stop = nullptr;
};

// How the fetches of one caller are made: their time-outs, and whether an
// address of the conversion service is answered here (see local_conversion.h).
struct FetchOptions {
    FetchTimeouts timeouts;
    bool localConversion = false;
    // Tries after the first for a fetch that failed for a passing reason (see
    // net/retry_rules.h).
    int retries = 0;
    // Whether a fetch leaves its page in "download.txt" for the user; a check
    // of a source leaves nothing behind.
    bool keepCopy = true;
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
    std::string reason;      // what went wrong, in words, without the address ("" for none)
    CURLcode code = CURLE_OK;  // libcurl's result of a failed transfer
    long status = 0;           // the HTTP status of the answer (0 for none)
    std::string finalUrl;      // the address that answered, after redirects ("" when none did)
    std::string retryAfter;    // the answer's Retry-After header as sent ("" for none)
    bool pastDeadline = false; // stopped, or never started, at the run's deadline
    int tries = 1;
    long milliseconds = 0;     // the last try took
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
