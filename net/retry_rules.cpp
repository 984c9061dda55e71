#include "net/retry_rules.h"

#include <algorithm>
#include <charconv>
#include <random>
#include <thread>

namespace tp {
namespace {

using Clock = std::chrono::steady_clock;

// A fraction in [0, 1) for the jitter of a wait; each thread draws its own.
double RandomFraction() {
    thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

Clock::duration Stretched(std::chrono::milliseconds wait, double most) {
    return std::chrono::duration_cast<Clock::duration>(wait * (1.0 + most * RandomFraction()));
}

}  // namespace

bool IsPassingFailure(const FetchResult& result) {
    if (result.pastDeadline) return false;
    if (result.ok) {
        switch (result.status) {
        case 408: case 429: case 500: case 502: case 503: case 504:
            return true;
        default:
            return false;
        }
    }
    switch (result.code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

std::optional<std::chrono::seconds> RetryAfterWait(std::string_view value, std::time_t now) {
    if (value.empty()) return std::nullopt;
    if (std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        long long seconds = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        // Too many digits to count is as good as "very long".
        if (ec == std::errc::result_out_of_range) return kLongestRetryWait;
        if (ec != std::errc() || end != value.data() + value.size()) return std::nullopt;
        return std::chrono::seconds(std::min<long long>(seconds, kLongestRetryWait.count()));
    }
    std::tm date{};
    const std::string text(value);
    const char* end = ::strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &date);
    if (!end || *end != '\0') return std::nullopt;
    const std::time_t when = ::timegm(&date);
    if (when == static_cast<std::time_t>(-1)) return std::nullopt;
    if (when <= now) return std::chrono::seconds(0);
    return std::chrono::seconds(std::min<long long>(when - now, kLongestRetryWait.count()));
}

std::optional<Clock::duration> NextTryWait(const FetchResult& result, int triesMade, int retries,
                                           const Deadline& deadline) {
    if (triesMade > retries || !IsPassingFailure(result)) return std::nullopt;
    Clock::duration wait;
    if (const auto asked = RetryAfterWait(result.retryAfter, std::time(nullptr))) {
        wait = std::min<Clock::duration>(Stretched(*asked, 0.1), kLongestRetryWait);
    } else {
        const std::chrono::milliseconds base{1000LL << std::min(triesMade - 1, 5)};
        wait = std::min<Clock::duration>(Stretched(base, 0.25), kLongestRetryWait);
    }
    if (deadline.IsSet() && Clock::now() + wait >= deadline.at) return std::nullopt;
    return wait;
}

FetchResult PerformWithRetries(const FetchJob& job, const FetchOptions& options) {
    FetchResult result = PerformJob(job, options.timeouts);
    int tries = 1;
    while (const auto wait = NextTryWait(result, tries, options.retries, options.timeouts.run)) {
        std::this_thread::sleep_for(*wait);
        result = PerformJob(job, options.timeouts);
        ++tries;
    }
    result.tries = tries;
    return result;
}

}  // namespace tp
