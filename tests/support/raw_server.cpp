#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace tp::test {
namespace {

// Poll interval of the loops that must notice the destructor.
constexpr int kPollMs = 20;

// A TCP socket bound to 127.0.0.1 on a port the kernel picks.
int BindLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        throw std::runtime_error("bind on 127.0.0.1 failed");
    }
    port = ntohs(addr.sin_port);
    return fd;
}

bool WaitReadable(int fd, const std::atomic<bool>& stopping) {
    pollfd p{fd, POLLIN, 0};
    while (!stopping) {
        const int n = ::poll(&p, 1, kPollMs);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
    return false;
}

}  // namespace

RawServer::RawServer(std::string reply, Ending ending) : reply_(std::move(reply)), ending_(ending) {
    listener_ = BindLoopback(port_);
    if (::listen(listener_, 8) != 0) {
        ::close(listener_);
        throw std::runtime_error("listen failed");
    }
    thread_ = std::thread([this] { Run(); });
}

RawServer::~RawServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string RawServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawServer::Run() {
    while (WaitReadable(listener_, stopping_)) {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        ++connections_;
        Serve(client);
    }
}

void RawServer::Serve(int client) {
    // Read the request up to its blank line, so that what we send is an answer
    // and an abortive close is not caused by unread request bytes instead.
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(client, stopping_)) {
        const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    std::size_t sent = 0;
    while (sent < reply_.size()) {
        const ssize_t n = ::send(client, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    switch (ending_) {
        case Ending::kClose:
            ::shutdown(client, SHUT_WR);
            break;
        case Ending::kReset: {
            const linger abortive{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            break;
        }
        case Ending::kStall:
            // Stay silent until the client gives up (readable at EOF) or we stop.
            while (WaitReadable(client, stopping_)) {
                if (::recv(client, chunk, sizeof chunk, 0) <= 0) break;
            }
            break;
        case Ending::kTrickle:
            // Never silent for long enough to count as a stall.
            for (int waited = 0; !stopping_; waited += kPollMs) {
                pollfd p{client, POLLIN, 0};
                if (::poll(&p, 1, kPollMs) > 0) break;  // the client closed
                if (waited % 500 == 0 && ::send(client, "x", 1, MSG_NOSIGNAL) != 1) break;
            }
            break;
    }
    ::close(client);
}

ClosedPort::ClosedPort() { fd_ = BindLoopback(port_); }

ClosedPort::~ClosedPort() { ::close(fd_); }

std::string ClosedPort::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace tp::test
