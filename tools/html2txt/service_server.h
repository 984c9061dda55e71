// The conversion service's server: one thread reads the request heads of every
// connection, each against a deadline, and a bounded pool answers the complete
// requests, so that neither a slow client nor a page that never comes holds up
// the others.
#pragma once

#include "tools/html2txt/conversion_service.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tp::html2txt {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 0;  // 0: a free port
    bool allowPrivate = false;
    FetchTimeouts timeouts;
    std::size_t workers = 16;          // requests answered at once
    std::size_t maxConnections = 256;  // open at once; more are turned away with 503
    std::chrono::milliseconds headTimeout{10000};  // for the whole request head
};

class ConversionServer {
public:
    explicit ConversionServer(ServerOptions options);
    ~ConversionServer();
    ConversionServer(const ConversionServer&) = delete;
    ConversionServer& operator=(const ConversionServer&) = delete;

    // Listens on the address and port; false with the reason in error.
    bool Bind(std::string& error);
    // The port listened on, once bound.
    int Port() const { return context_.guard.ownPort; }
    // Serves until Stop; requests being answered are finished first.
    void Run();
    // May be called from any thread.
    void Stop();

private:
    struct Pending {
        int fd;
        std::string bytes;
        std::chrono::steady_clock::time_point deadline;
    };
    struct Job {
        int fd;
        RequestHead head;
        int refusal;  // 400 (not a request), 431 (head too long), or 0
    };

    void AcceptAll(std::vector<Pending>& pending);
    void ReadFrom(Pending& connection, bool& done);
    void Work();
    void Send(int fd, const ServiceAnswer& answer, bool headOnly);

    ServerOptions options_;
    ServiceContext context_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> open_{0};  // connections read, queued or being answered
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Job> jobs_;
    std::vector<std::thread> workers_;
};

}  // namespace tp::html2txt
