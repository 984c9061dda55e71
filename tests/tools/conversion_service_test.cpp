#include "tools/html2txt/service_server.h"

#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tp {
namespace {

using html2txt::ConversionServer;
using html2txt::ServerOptions;

// The service on a free port of 127.0.0.1, serving while the object lives.
class RunningService {
public:
    explicit RunningService(ServerOptions options) : server_(std::move(options)) {
        std::string error;
        EXPECT_TRUE(server_.Bind(error)) << error;
        thread_ = std::thread([this] { server_.Run(); });
    }
    ~RunningService() {
        server_.Stop();
        thread_.join();
    }
    int port() const { return server_.Port(); }
    std::string path(const std::string& url) const {
        return "/cgi-bin/html2txt?url=" + httplib::detail::encode_query_param(url) + "&noinlinerefs=on";
    }

private:
    ConversionServer server_;
    std::thread thread_;
};

ServerOptions Options(bool allowPrivate) {
    ServerOptions options;
    options.allowPrivate = allowPrivate;
    options.timeouts = {2, 2, 4, {}, nullptr};
    return options;
}

struct Row {
    const char* name;
    std::string target;
    int status;
    std::string body;  // the whole body, or for the form a part of it
    const char* contentType = "text/plain; charset=windows-1252";
    httplib::Headers headers = {};
};

void CheckRows(int port, const std::vector<Row>& rows) {
    httplib::Client client("127.0.0.1", port);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const httplib::Result result = client.Get(row.target, row.headers);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, row.status);
        EXPECT_EQ(result->get_header_value("Content-Type"), row.contentType);
        if (std::string(row.contentType).starts_with("text/html")) {
            EXPECT_NE(result->body.find(row.body), std::string::npos) << result->body;
            EXPECT_NE(result->body.find("value=\"Convert\""), std::string::npos);
        } else {
            EXPECT_EQ(result->body, row.body);
        }
    }
}

TEST(ConversionService, AnswersWithTheTextTheFormOrTheReason) {
    RunningService service(Options(true));
    test::HttpServer server;
    server.Serve("/rates", "<h1>Rates</h1><p>EUR <a href=\"/eur\">1.08</a></p>", "text/html");
    server.Get("/gone", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<p>No such page</p>", "text/html");
    });
    const std::string pageUrl = server.url("/rates");
    const std::string own = "http://127.0.0.1:" + std::to_string(service.port()) + "/cgi-bin/html2txt";
    CheckRows(service.port(), {
        {"reference list", service.path(pageUrl), 200,
         "Rates\n\nEUR [1]1.08\n\nReferences\n\n[1] " + server.url("/eur") + "\n"},
        {"inline references", "/cgi-bin/html2txt?url=" + httplib::detail::encode_query_param(pageUrl), 200,
         "Rates\n\nEUR [1 " + server.url("/eur") + "]1.08\n"},
        {"form page", "/cgi-bin/html2txt", 200, "name=\"noinlinerefs\"> don't include references inline with the text",
         "text/html; charset=utf-8"},
        {"not a web address", "/cgi-bin/html2txt?url=file%3A%2F%2F%2Fetc%2Fpasswd", 400,
         "HTML conversion error: 'file:///etc/passwd' is not an http or https address\n"},
        {"page out of reach", "/cgi-bin/html2txt?url=http%3A%2F%2F127.0.0.1%3A1%2F", 502,
         "InternetOpenUrl Error: 7 (http://127.0.0.1:1/)\n"},
        {"the page's own status is passed on", service.path(server.url("/gone")), 404, "No such page\n"},
        {"its own address even when private ones are allowed", service.path(own), 403,
         "HTML conversion error: '" + own + "' is not converted: it is this service's own address (127.0.0.1:" +
             std::to_string(service.port()) + ")\n"},
        {"a Host header naming another server", service.path(pageUrl), 421,
         "HTML conversion error: the Host 'rebound.example:" + std::to_string(service.port()) +
             "' is not this service's address\n",
         "text/plain; charset=windows-1252", {{"Host", "rebound.example:" + std::to_string(service.port())}}},
    });
}

TEST(ConversionService, LoopbackTargetsAreRefusedInEveryFormWithoutAllowPrivate) {
    RunningService service(Options(false));
    test::HttpServer server;
    server.Serve("/secret", "<p>secret</p>", "text/html");
    const std::string port = std::to_string(server.port());
    std::vector<Row> rows;
    const std::pair<std::string, std::string> hosts[] = {
        {"127.0.0.1", "127.0.0.1"}, {"localhost", "127.0.0.1"},     {"0x7f000001", "127.0.0.1"},
        {"2130706433", "127.0.0.1"}, {"user:pw@127.0.0.1", "127.0.0.1"}, {"127.1", "127.0.0.1"},
        {"[::ffff:127.0.0.1]", "::ffff:127.0.0.1"},
    };
    for (const auto& [host, numeric] : hosts) {
        const std::string target = "http://" + host + ":" + port + "/secret";
        rows.push_back({"", service.path(target), 403,
                        "HTML conversion error: '" + target + "' is not converted: it leads to a loopback, " +
                            "private or link-local address (" + numeric +
                            "); start the service with --allow-private to convert such pages\n"});
    }
    for (Row& row : rows) row.name = row.target.c_str();
    CheckRows(service.port(), rows);
}

// A client that sends its request head a byte at a time, never finishing.
int TrickleStart(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

TEST(ConversionService, SlowClientsAndADeadPageHoldUpNoOtherRequest) {
    RunningService service(Options(true));
    test::HttpServer server;
    server.Serve("/fast", "<p>fast</p>", "text/html");
    test::RawServer silent("", test::RawServer::Ending::kStall);

    std::thread stuck([&] {
        httplib::Client client("127.0.0.1", service.port());
        client.set_read_timeout(30);
        const httplib::Result result = client.Get(service.path(silent.url("/never")));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 502);
    });
    std::vector<int> tricklers;
    for (int i = 0; i < 8; ++i) tricklers.push_back(TrickleStart(service.port()));
    std::atomic<bool> trickling{true};
    std::thread trickle([&] {
        const std::string head = "GET /cgi-bin/html2txt HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
        for (std::size_t n = 0; trickling; ++n) {
            for (const int fd : tricklers) ::send(fd, &head[n % head.size()], 1, MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    while (silent.connections() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));

    httplib::Client client("127.0.0.1", service.port());
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const httplib::Result result = client.Get(i % 2 ? service.path(server.url("/fast")) : "/cgi-bin/html2txt");
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        ASSERT_TRUE(result) << i;
        EXPECT_EQ(result->status, 200);
    }
    EXPECT_LT(slowest, std::chrono::seconds(1));
    trickling = false;
    trickle.join();
    for (const int fd : tricklers) ::close(fd);
    stuck.join();
}

}  // namespace
}  // namespace tp
