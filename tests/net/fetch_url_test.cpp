#include "net/fetch_url.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "net/parallel_fetches.h"
#include "platform/text_file.h"

#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tp {
namespace {

using test::HttpServer;
using test::RawServer;

// A body byte that depends on its offset, so a shifted or repeated chunk shows.
char PatternByte(std::size_t offset) { return static_cast<char>((offset * 37 + offset / 251) % 256); }

std::string PatternBody(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) body[i] = PatternByte(i);
    return body;
}

std::string Buffered() { return std::string(g_transferBuffer, g_transferLength); }

const std::string kPreviousCopy = "previous body\r\n";

// A fetch on its own, or as a run makes it: through its parallel fetches,
// started when asked for or planned and started ahead.
enum class Way { Alone, InARun, PlannedInARun };

class FetchUrlTest : public ::testing::TestWithParam<Way> {
protected:
    void SetUp() override { home_.WriteFile("download.txt", kPreviousCopy); }

    // A fetch of url, the way of the test's parameter.
    bool Fetch(const std::string& url) const {
        if (GetParam() == Way::Alone) return FetchUrl(url, options_);
        std::vector<PlannedFetch> plan;
        if (GetParam() == Way::PlannedInARun) plan.push_back({0, url});
        ParallelFetches fetches(plan, FetchLimits{}, options_);
        return Fetcher(options_, &fetches).Fetch(url);
    }

    FetchOptions options_;
    test::TempHome home_;  // also makes its folder the current directory
};

std::string WayName(const ::testing::TestParamInfo<Way>& way) {
    switch (way.param) {
    case Way::Alone: return "Alone";
    case Way::InARun: return "InARun";
    case Way::PlannedInARun: return "PlannedInARun";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(Ways, FetchUrlTest, ::testing::Values(Way::Alone, Way::InARun, Way::PlannedInARun),
                         WayName);

TEST_P(FetchUrlTest, BodyLandsInBufferAndRawCopy) {
    struct Case {
        const char* name;
        std::map<std::string, HttpServer::Handler> routes;  // the fetch asks for "/page"
        std::string expected;                              // bytes kept in the buffer
        std::optional<std::string> expectedCopy;           // default: expected in text mode
    };
    const auto body = [](int status, std::string text) {
        return [status, text](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(text, "text/plain");
        };
    };
    const std::string exact = PatternBody(kTransferCapacity);
    const std::string longer = PatternBody(200000);
    const std::string withZero("line1\nnul\0after\r\nend", 20);
    const Case cases[] = {
        {"empty body", {{"/page", body(200, "")}}, "", ""},
        {"zero byte and line ends: the copy holds every byte",
         {{"/page", body(200, withZero)}},
         withZero,
         std::string("line1\r\nnul\0after\r\r\nend", 22)},
        {"status 404 delivers its error page", {{"/page", body(404, "<h1>Not here</h1>")}},
         "<h1>Not here</h1>", std::nullopt},
        {"redirect is followed",
         {{"/page", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/moved"); }},
          {"/moved", body(200, "moved here")}},
         "moved here", std::nullopt},
        {"body of exactly the capacity", {{"/page", body(200, exact)}}, exact, std::nullopt},
        {"longer body keeps its first 81,920 bytes", {{"/page", body(200, longer)}},
         longer.substr(0, kTransferCapacity), std::nullopt},
    };
    HttpServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Clear();
        for (const auto& [path, handler] : c.routes) server.Get(path, handler);
        home_.WriteFile("download.txt", kPreviousCopy);
        SetLastError("untouched");
        TakeDiagnostics();

        ASSERT_TRUE(Fetch(server.url("/page")));
        EXPECT_EQ(g_lastError, "untouched");
        // Only an error answer is worth a diagnostic line.
        const bool errorAnswer = std::string(c.name).starts_with("status 404");
        EXPECT_EQ(TakeDiagnostics(), errorAnswer ? std::vector<std::string>{server.url("/page") + ": HTTP status 404"}
                                                 : std::vector<std::string>{});
        EXPECT_EQ(g_transferLength, c.expected.size());
        EXPECT_TRUE(Buffered() == c.expected);  // no gtest dump of 80 KB on failure
        EXPECT_EQ(g_transferBuffer[g_transferLength], '\0');
        const std::string copy = home_.ReadFile("download.txt");
        EXPECT_TRUE(copy == c.expectedCopy.value_or(ToTextModeBytes(c.expected)))
            << "download.txt has " << copy.size() << " bytes";
    }
}

// A check of a source names the address that answered and leaves the
// user's raw copy of the last download alone.
TEST(FetchFacts, FinalAddressAfterRedirectAndNoRawCopy) {
    test::TempHome home;
    HttpServer server;
    server.Get("/page", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/moved"); });
    server.Serve("/moved", "moved here");
    home.WriteFile("download.txt", "the last download");
    FetchOptions options;
    options.keepCopy = false;

    const FetchResult result = PerformJob(JobForUrl(server.url("/page"), false), options.timeouts);
    EXPECT_EQ(result.finalUrl, server.url("/moved"));
    ASSERT_TRUE(Fetcher(options).Fetch(server.url("/page")));
    EXPECT_EQ(std::string(g_transferBuffer), "moved here");
    EXPECT_EQ(home.ReadFile("download.txt"), "the last download");
}

TEST_P(FetchUrlTest, HttpsWorksWithACertificateTheUserTrusts) {
    const std::string data = std::string(TIDEPOST_SOURCE_DIR) + "/tests/data/net/";
    HttpServer server(data + "self_signed_localhost.crt", data + "self_signed_localhost.key");
    server.Serve("/secure", "over tls");
    ASSERT_EQ(server.url("/secure").rfind("https://", 0), 0u);
    ::setenv("SSL_CERT_FILE", (data + "self_signed_localhost.crt").c_str(), 1);
    const bool fetched = Fetch(server.url("/secure"));
    ::unsetenv("SSL_CERT_FILE");
    ASSERT_TRUE(fetched) << g_lastError;
    EXPECT_EQ(std::string(g_transferBuffer, g_transferLength), "over tls");
    // Without the user's trust the same server is refused.
    EXPECT_FALSE(Fetch(server.url("/secure")));
}

TEST_P(FetchUrlTest, HugeBodyIsNotDownloadedBeyondTheBuffer) {
    constexpr std::size_t kHuge = 50u * 1024 * 1024;
    auto handedOut = std::make_shared<std::atomic<std::size_t>>(0);
    {
        HttpServer server;
        server.Get("/huge", [handedOut](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(kHuge, "text/plain",
                                     [handedOut](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                         std::string chunk(length < 65536 ? length : 65536, '\0');
                                         for (std::size_t i = 0; i < chunk.size(); ++i)
                                             chunk[i] = PatternByte(offset + i);
                                         *handedOut += chunk.size();
                                         return sink.write(chunk.data(), chunk.size());
                                     });
        });
        ASSERT_TRUE(Fetch(server.url("/huge")));
        EXPECT_EQ(g_transferLength, kTransferCapacity);
        EXPECT_TRUE(Buffered() == PatternBody(kTransferCapacity));
        EXPECT_EQ(g_transferBuffer[kTransferCapacity], '\0');
    }  // the server has stopped: the count is final
    EXPECT_LT(handedOut->load(), kHuge / 2);
}

TEST_P(FetchUrlTest, AsksAsTidepostWithoutCacheHeaders) {
    HttpServer server;
    server.Serve("/page", "text");
    ASSERT_TRUE(Fetch(server.url("/page?q=a%20b")));
    ASSERT_TRUE(Fetch(server.url("/page?q=a%20b")));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);  // the second fetch went to the server again
    for (const auto& request : requests) {
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.target, "/page?q=a%20b");
        EXPECT_EQ(request.Header("User-Agent"), "Tidepost");
        EXPECT_EQ(request.Header("If-Modified-Since"), "");
        EXPECT_EQ(request.Header("If-None-Match"), "");
    }
}

TEST_P(FetchUrlTest, FailuresNameTheStepAndKeepThePreviousCopy) {
    // Something that answers the fetch; kept alive for the fetch's duration.
    struct Peer {
        std::shared_ptr<void> keep;
        std::string url;
    };
    const std::string headers = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n\r\n";
    const std::string partBody(1000, 'x');
    const auto raw = [](std::string reply, RawServer::Ending ending) {
        return [reply, ending] {
            auto server = std::make_shared<RawServer>(reply, ending);
            return Peer{server, server->url("/")};
        };
    };
    const auto redirectTo = [](std::function<std::string(const test::ClosedPort&)> target) {
        return [target] {
            auto closed = std::make_shared<test::ClosedPort>();
            auto server = std::make_shared<HttpServer>();
            const std::string location = target(*closed);
            server->Get("/page", [location](const httplib::Request&, httplib::Response& res) {
                res.set_redirect(location);
            });
            return Peer{std::make_shared<std::pair<decltype(closed), decltype(server)>>(closed, server),
                        server->url("/page")};
        };
    };
    struct Case {
        const char* name;
        std::function<Peer()> peer;
        const char* expected;
    };
    const Case cases[] = {
        {"connection refused",
         [] {
             auto closed = std::make_shared<test::ClosedPort>();
             return Peer{closed, closed->url("/")};
         },
         "InternetOpenUrl Error: 7"},
        {"host name not resolved", [] { return Peer{nullptr, "http://tidepost-nowhere.invalid/"}; },
         "InternetOpenUrl Error: 6"},
        {"malformed address", [] { return Peer{nullptr, "http://[::1/"}; }, "InternetOpenUrl Error: 3"},
        {"not a web address", [] { return Peer{nullptr, "file:///etc/hostname"}; },
         "InternetOpenUrl Error: 1"},
        {"redirect to a refused port", redirectTo([](const test::ClosedPort& c) { return c.url("/"); }),
         "InternetOpenUrl Error: 7"},
        {"redirect away from the web", redirectTo([](const test::ClosedPort&) { return "file:///etc/hostname"; }),
         "InternetOpenUrl Error: 1"},
        {"reset before the headers", raw("", RawServer::Ending::kReset), "InternetOpenUrl Error: 38"},
        {"no answer at all", raw("", RawServer::Ending::kStall), "InternetOpenUrl Error: 1c"},
        {"reset in the middle of the body", raw(headers + partBody, RawServer::Ending::kReset),
         "InternetReadFile Error: 38"},
        {"stall in the middle of the body", raw(headers + partBody, RawServer::Ending::kStall),
         "InternetReadFile Error: 1c"},
        {"trickling past the total time", raw(headers + partBody, RawServer::Ending::kTrickle),
         "InternetReadFile Error: 1c (fetch time-out of 3 s)"},
        {"closed before the announced length", raw(headers + partBody, RawServer::Ending::kClose),
         "InternetReadFile Error: 12"},
        {"headers complete, then reset before any body", raw(headers, RawServer::Ending::kReset),
         "InternetReadFile Error: 38"},
        {"https server with an untrusted certificate",
         [] {
             const std::string data = std::string(TIDEPOST_SOURCE_DIR) + "/tests/data/net/";
             auto server = std::make_shared<HttpServer>(data + "self_signed_localhost.crt",
                                                        data + "self_signed_localhost.key");
             server->Serve("/", "secret");
             return Peer{server, server->url("/")};
         },
         "InternetOpenUrl Error: 3c"},
    };
    options_.timeouts = FetchTimeouts{2, 2, 3, {}, nullptr};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Peer peer = c.peer();
        std::memcpy(g_transferBuffer, "stale", 6);
        g_transferLength = 5;
        TakeDiagnostics();

        EXPECT_FALSE(Fetch(peer.url));
        EXPECT_EQ(g_lastError, c.expected);
        // One line for the unattended run: the address, a reason in words, the step.
        const std::vector<std::string> lines = TakeDiagnostics();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].starts_with(peer.url + ": ")) << lines[0];
        EXPECT_TRUE(lines[0].ends_with("(" + std::string(c.expected) + ")")) << lines[0];
        EXPECT_GT(lines[0].size(), peer.url.size() + std::strlen(c.expected) + 6) << lines[0];
        EXPECT_EQ(home_.ReadFile("download.txt"), kPreviousCopy);
        EXPECT_EQ(g_transferLength, 0u);
        EXPECT_EQ(g_transferBuffer[0], '\0');
    }
}

// Two servers count the requests they answer at once; each request is held a
// while so that one more transfer than allowed would be seen. Both sides of
// each limit: it is reached, and never passed.
TEST(ParallelFetchLimits, KeepToThePerHostAndTotalLimits) {
    const struct {
        FetchLimits limits;
        int perHost;  // most seen at once by one server (0: at most the limit)
        int total;    // most seen at once by both
    } cases[] = {{{16, 2}, 2, 4}, {{16, 1}, 1, 2}, {{3, 6}, 0, 3}, {{1, 6}, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.limits.total) + " at once, " + std::to_string(c.limits.perHost) + " per host");
        std::mutex mutex;
        int inFlight[2] = {0, 0};
        int mostPerHost = 0, mostTotal = 0;
        HttpServer servers[2];
        for (int s = 0; s < 2; ++s) {
            servers[s].Get("*", [&, s](const httplib::Request&, httplib::Response& res) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    ++inFlight[s];
                    mostPerHost = std::max(mostPerHost, inFlight[s]);
                    mostTotal = std::max(mostTotal, inFlight[0] + inFlight[1]);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                std::lock_guard<std::mutex> lock(mutex);
                --inFlight[s];
                res.set_content("ok", "text/plain");
            });
        }
        std::vector<PlannedFetch> plan;
        for (int i = 0; i < 6; ++i) {
            for (const auto& server : servers) plan.push_back({0, server.url("/" + std::to_string(i))});
        }
        FetchOptions options;
        ParallelFetches fetches(plan, c.limits, options);
        for (const auto& fetch : plan) EXPECT_TRUE(fetches.Fetch(fetch.url).ok) << fetch.url;
        EXPECT_EQ(mostPerHost, c.perHost ? c.perHost : std::min(mostPerHost, c.limits.perHost));
        EXPECT_EQ(mostTotal, c.total);
    }
}

}  // namespace
}  // namespace tp
