// How the sample provider serves: its delay, its request log, and requests
// served at once rather than one after another.
#include "tools/sample_provider/serving.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/running_provider.h"
#include "tests/support/temp_home.h"

namespace tp::sample {
namespace {

TEST(Serving, EveryRequestWaitsForTheDelayAndIsLoggedInOrder) {
    test::TempHome home;
    const std::chrono::milliseconds delay(150);
    test::RunningProvider running({delay, home.path() + "requests.log"});
    httplib::Client client("127.0.0.1", running.port());
    struct Case {
        const char* target;
        int status;
    };
    const Case cases[] = {
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com%2Fweather%2Fprint%2F10001&noinlinerefs=on",
         200},
        {"/some/page.html", 404},
    };
    std::string expectedLog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const auto start = std::chrono::steady_clock::now();
        const httplib::Result result = client.Get(c.target);
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_GE(took, delay);
        expectedLog += std::string(c.target) + "\n";
    }
    EXPECT_EQ(home.ReadFile("requests.log"), expectedLog);
}

// A connection that has sent a request without its closing blank line, so a
// serving thread stays with it, waiting for the rest.
class PendingRequest {
public:
    explicit PendingRequest(int port) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return;
        Send("GET /some/page.html HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    }
    ~PendingRequest() { ::close(socket_); }
    PendingRequest(const PendingRequest&) = delete;
    PendingRequest& operator=(const PendingRequest&) = delete;

    // Ends the request; the status line of its answer, "" when none came.
    std::string Finish() {
        Send("\r\n");
        std::string line;
        char c = 0;
        while (::recv(socket_, &c, 1, 0) == 1 && c != '\n') line.push_back(c);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

private:
    void Send(const std::string& text) { (void)::send(socket_, text.data(), text.size(), MSG_NOSIGNAL); }

    int socket_;
};

TEST(Serving, AnotherRequestIsAnsweredWhile32AreInProgress) {
    test::RunningProvider running;
    std::vector<std::unique_ptr<PendingRequest>> pending;
    for (int i = 0; i < 32; ++i) pending.push_back(std::make_unique<PendingRequest>(running.port()));

    // With too few serving threads this request would wait until the server
    // gave up on the pending ones, past the client's read time-out.
    httplib::Client client("127.0.0.1", running.port());
    const httplib::Result result = client.Get("/some/page.html");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    // And the pending requests were waited for, not dropped.
    for (const auto& request : pending) EXPECT_EQ(request->Finish(), "HTTP/1.1 404 Not Found");
}

}  // namespace
}  // namespace tp::sample
