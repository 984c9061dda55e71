#include "net/retry_rules.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(RetryAfter, SecondsOrAnHttpDateAreWaitsCappedAtAMinute) {
    const std::time_t now = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
    const struct {
        const char* value;
        std::optional<long> seconds;
    } rows[] = {
        {"1", 1},
        {"0", 0},
        {"120", 60},
        {"99999999999999999999999", 60},
        {"Sun, 06 Nov 1994 08:49:40 GMT", 3},
        {"Sun, 06 Nov 1994 09:49:37 GMT", 60},
        {"Sun, 06 Nov 1994 08:00:00 GMT", 0},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"soon", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:40", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        const auto wait = RetryAfterWait(row.value, now);
        ASSERT_EQ(wait.has_value(), row.seconds.has_value());
        if (wait) {
            EXPECT_EQ(wait->count(), *row.seconds);
        }
    }
}

TEST(RetryRules, OnlyPassingFailuresAreTriedAgainWithinTheirNumberAndTheDeadline) {
    const auto failed = [](CURLcode code) {
        FetchResult result;
        result.code = code;
        return result;
    };
    const auto answered = [](long status) {
        FetchResult result;
        result.ok = true;
        result.status = status;
        return result;
    };
    FetchResult stopped = failed(CURLE_OPERATION_TIMEDOUT);
    stopped.pastDeadline = true;
    const Deadline soon{std::chrono::steady_clock::now() + std::chrono::milliseconds(500), 1};
    const struct {
        const char* name;
        FetchResult result;
        int triesMade;
        Deadline deadline;
        bool again;
    } rows[] = {
        {"refused", failed(CURLE_COULDNT_CONNECT), 1, {}, true},
        {"timed out", failed(CURLE_OPERATION_TIMEDOUT), 2, {}, true},
        {"retries used up", failed(CURLE_COULDNT_CONNECT), 3, {}, false},
        {"bad address", failed(CURLE_URL_MALFORMAT), 1, {}, false},
        {"503", answered(503), 1, {}, true},
        {"429", answered(429), 1, {}, true},
        {"404", answered(404), 1, {}, false},
        {"200", answered(200), 1, {}, false},
        {"stopped at the deadline", stopped, 1, {}, false},
        {"the wait would end past the deadline", failed(CURLE_COULDNT_CONNECT), 1, soon, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto wait = NextTryWait(row.result, row.triesMade, 2, row.deadline);
        ASSERT_EQ(wait.has_value(), row.again);
        if (wait) {
            // 1 s, 2 s ... and up to a quarter more.
            const std::chrono::milliseconds base{1000 << (row.triesMade - 1)};
            EXPECT_GE(*wait, base);
            EXPECT_LE(*wait, base * 5 / 4);
        }
    }
}

}  // namespace
}  // namespace tp
