#include "tests/support/http_server.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace tp::test {
namespace {

// The servers live on 127.0.0.1: make sure a proxy configured in the
// environment never sits between a test and its server.
void BypassProxiesForLoopback() {
    const char* lower = std::getenv("no_proxy");
    const char* upper = std::getenv("NO_PROXY");
    std::string list = lower ? lower : (upper ? upper : "");
    if (list.find("127.0.0.1") != std::string::npos) return;
    list += list.empty() ? "127.0.0.1" : ",127.0.0.1";
    ::setenv("no_proxy", list.c_str(), 1);
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    // Header names are compared without regard to case, as HTTP wants.
    const auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

HttpServer::HttpServer() : server_(std::make_unique<httplib::Server>()), scheme_("http") {
    Start();
}

HttpServer::HttpServer(const std::string& certPath, const std::string& keyPath)
    : server_(std::make_unique<httplib::SSLServer>(certPath.c_str(), keyPath.c_str())),
      scheme_("https") {
    if (!server_->is_valid()) throw std::runtime_error("cannot load " + certPath + " / " + keyPath);
    Start();
}

void HttpServer::Start() {
    BypassProxiesForLoopback();
    // Enough threads for a run's parallel fetches, some of them held open by a test.
    server_->new_task_queue = [] { return new httplib::ThreadPool(32); };
    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        Dispatch(req, res);
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a port on 127.0.0.1");
    // The socket already listens, so clients may connect at once; waiting for
    // the accept loop only makes sure stop() in the destructor finds it running.
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpServer::~HttpServer() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

void HttpServer::Dispatch(const httplib::Request& req, httplib::Response& res) {
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back({req.method, req.path, req.target, req.headers});
        auto it = routes_.find(req.path);
        if (it == routes_.end()) it = routes_.find("*");
        if (it != routes_.end()) handler = it->second;
    }
    // Called outside the lock: a handler may take long or stream a large body.
    if (handler) {
        handler(req, res);
    } else {
        res.status = 404;
        res.set_content("no route", "text/plain");
    }
}

void HttpServer::Get(const std::string& path, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[path] = std::move(handler);
}

void HttpServer::Serve(const std::string& path, std::string body, const std::string& contentType) {
    Get(path, [body = std::move(body), contentType](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, contentType);
    });
}

void HttpServer::Serve(const std::map<std::string, std::string>& pages) {
    for (const auto& [path, body] : pages) Serve(path, body);
}

void HttpServer::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_.clear();
    requests_.clear();
}

std::string HttpServer::url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RecordedRequest> HttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

RecordedRequest HttpServer::LastRequest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

HttpServer& SharedHttpServer() {
    static HttpServer server;
    return server;
}

}  // namespace tp::test
