// When a failed fetch is worth another try, and how long to wait before it.
// A server that is briefly overloaded or restarting asks for patience (429 or
// 503, often with Retry-After); asking again at once would only add to its
// load, and asking never again would lose the page for the day.
#pragma once

#include "net/transfer.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string_view>

namespace tp {

// The longest wait before a try, whatever the server asks for.
inline constexpr std::chrono::seconds kLongestRetryWait{60};

// A failure that may well be gone a moment later: connection refused or reset,
// a time-out, a host name not resolved, or an answer with the HTTP status 408,
// 429, 500, 502, 503 or 504. A stop at the run's deadline is not one.
bool IsPassingFailure(const FetchResult& result);

// The wait a Retry-After value asks for: whole seconds, or an HTTP date
// ("Sun, 06 Nov 1994 08:49:37 GMT") measured from now; a date in the past
// asks for no wait. Nothing for a value that is neither.
std::optional<std::chrono::seconds> RetryAfterWait(std::string_view value, std::time_t now);

// The wait before try number triesMade + 1 of a fetch whose last try gave
// result, or nothing when there is to be no further try: the failure does not
// pass, retries are used up, or the try would start after the deadline.
// Without a usable Retry-After the waits are 1 s, 2 s, 4 s ... each made up
// to a quarter longer at random, so that many clients do not come back at the
// same moment; a Retry-After is kept to the second (capped at 60 s) and given
// up to a tenth more.
std::optional<std::chrono::steady_clock::duration> NextTryWait(const FetchResult& result, int triesMade,
                                                               int retries, const Deadline& deadline);

// Runs job on the calling thread as often as NextTryWait allows, sleeping in
// between; the result tells how many tries it took.
FetchResult PerformWithRetries(const FetchJob& job, const FetchOptions& options);

}  // namespace tp
