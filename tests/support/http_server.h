// A real HTTP server on 127.0.0.1 for tests, serving per-test routes.
//
//   tp::test::HttpServer server;                       // listening on a free port
//   server.Serve("/page", "body text");                // fixed body, 200
//   server.Get("/other", [](const httplib::Request&, httplib::Response& res) {
//       res.status = 404;
//       res.set_content("gone", "text/plain");
//   });
//   FetchUrl(server.url("/page?x=1"));
//   EXPECT_EQ(server.LastRequest().target, "/page?x=1");
//
// Routes match the request path exactly (the query is not part of it) and can be
// added or replaced at any time, also while the server runs; the route "*"
// answers every path without a route of its own, and with none an unknown path
// is answered with 404 "no route". For one server shared by a whole test binary use
// SharedHttpServer() and call Clear() in the fixture's SetUp.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tp::test {

// What the server saw of one request.
struct RecordedRequest {
    std::string method;
    std::string path;    // without the query
    std::string target;  // as sent: path and query, still percent-encoded
    httplib::Headers headers;
    std::string Header(const std::string& name) const;  // "" when absent
};

class HttpServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    // Plain HTTP. Starts listening before the constructor returns.
    HttpServer();
    // HTTPS with the given PEM certificate and private key files.
    HttpServer(const std::string& certPath, const std::string& keyPath);
    ~HttpServer();  // stops the server and waits for its threads
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Answers GET path with handler (replacing an earlier route of that path).
    void Get(const std::string& path, Handler handler);
    // Answers GET path with status 200 and body.
    void Serve(const std::string& path, std::string body,
               const std::string& contentType = "text/plain");
    // Serve for every path -> body pair.
    void Serve(const std::map<std::string, std::string>& pages);
    // Drops every route and the request record.
    void Clear();

    // "http://127.0.0.1:<port>" + path (https for the TLS server).
    std::string url(const std::string& path) const;
    int port() const { return port_; }

    // Requests received so far, oldest first; LastRequest is empty when none.
    std::vector<RecordedRequest> Requests() const;
    RecordedRequest LastRequest() const;

private:
    void Start();
    void Dispatch(const httplib::Request& req, httplib::Response& res);

    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::string, Handler> routes_;
    std::vector<RecordedRequest> requests_;
};

// One plain server for the whole test binary, started on first use.
HttpServer& SharedHttpServer();

}  // namespace tp::test
