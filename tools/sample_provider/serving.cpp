#include "tools/sample_provider/serving.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace tp::sample {

namespace {

// Lines from several serving threads, each written whole and at once, so the
// log can be read while the provider runs.
class RequestLog {
public:
    explicit RequestLog(std::FILE* file) : file_(file) {}
    ~RequestLog() { std::fclose(file_); }
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    void Add(const std::string& target) {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::fputs(target.c_str(), file_);
        std::fputc('\n', file_);
        std::fflush(file_);
    }

private:
    std::mutex mutex_;
    std::FILE* file_;
};

}  // namespace

bool ServingServer::Configure(const ServingOptions& options, std::string& error) {
    std::shared_ptr<RequestLog> log;
    if (!options.logPath.empty()) {
        std::FILE* file = std::fopen(options.logPath.c_str(), "w");
        if (file == nullptr) {
            error = "cannot create " + options.logPath + ": " + std::strerror(errno);
            return false;
        }
        log = std::make_shared<RequestLog>(file);
    }
    new_task_queue = [] { return new httplib::ThreadPool(kServingThreads); };
    // An answer's head and body go out in separate writes; without this the
    // body of every answer but the first on a kept-alive connection waits for
    // the client's delayed acknowledgement (40 ms on Linux).
    set_tcp_nodelay(true);
    const std::chrono::milliseconds delay = options.delay;
    // Runs on the request's own thread before its route, so a delay holds up
    // that request alone.
    set_pre_routing_handler([log, delay](const httplib::Request& request, httplib::Response&) {
        if (log) log->Add(request.target);
        if (delay.count() > 0) std::this_thread::sleep_for(delay);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    return true;
}

int ServingServer::Bind(int port) {
    const int bound = port == 0 ? bind_to_any_port("127.0.0.1") : (bind_to_port("127.0.0.1", port) ? port : 0);
    if (bound <= 0) return 0;
    // Listening again on a listening socket only sets its queue length.
    if (::listen(svr_sock_, SOMAXCONN) != 0) return 0;
    return bound;
}

}  // namespace tp::sample
