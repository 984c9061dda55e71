#include "tools/html2txt/service_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tp::html2txt {
namespace {

using Clock = std::chrono::steady_clock;

// A client that stops reading its answer is given up after this long.
constexpr timeval kSendTimeout{10, 0};

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 421: return "Misdirected Request";
    case 431: return "Request Header Fields Too Large";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string AnswerBytes(const ServiceAnswer& answer, bool headOnly) {
    std::string bytes = "HTTP/1.1 " + std::to_string(answer.status) + " " + Reason(answer.status) +
                        "\r\nContent-Type: " + answer.contentType +
                        "\r\nContent-Length: " + std::to_string(answer.body.size()) +
                        "\r\nConnection: close\r\n\r\n";
    if (!headOnly) bytes += answer.body;
    return bytes;
}

// For a client that is being turned away: what fits into the socket now.
void SendWithoutWaiting(int fd, int status, const std::string& text) {
    const std::string bytes = AnswerBytes({status, "text/plain; charset=windows-1252", text + "\n"}, false);
    [[maybe_unused]] const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace

ConversionServer::ConversionServer(ServerOptions options) : options_(std::move(options)) {
    context_.guard.allowPrivate = options_.allowPrivate;
    context_.guard.ownAddress = options_.address;
    context_.timeouts = options_.timeouts;
}

ConversionServer::~ConversionServer() {
    Stop();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
    if (listener_ >= 0) ::close(listener_);
    for (const int fd : wake_) {
        if (fd >= 0) ::close(fd);
    }
}

bool ConversionServer::Bind(std::string& error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
    if (::inet_pton(AF_INET, options_.address.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + options_.address;
        return false;
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (listener_ < 0 || ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0 || ::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    context_.guard.ownPort = port;
    context_.hosts = {options_.address + ":" + std::to_string(port)};
    if (port == 80) context_.hosts.push_back(options_.address);
    return true;
}

void ConversionServer::Stop() {
    stopping_ = true;
    if (wake_[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wake_[1], "x", 1);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.notify_all();
}

void ConversionServer::AcceptAll(std::vector<Pending>& pending) {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (open_ >= options_.maxConnections) {
            SendWithoutWaiting(fd, 503, "HTML conversion error: too many connections, try again later");
            ::close(fd);
            continue;
        }
        ++open_;
        pending.push_back({fd, {}, Clock::now() + options_.headTimeout});
    }
}

void ConversionServer::ReadFrom(Pending& connection, bool& done) {
    char chunk[4096];
    const ssize_t got = ::recv(connection.fd, chunk, sizeof chunk, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
    done = true;
    if (got <= 0) {
        ::close(connection.fd);
        --open_;
        return;
    }
    connection.bytes.append(chunk, static_cast<std::size_t>(got));
    const std::size_t length = RequestHeadLength(connection.bytes);
    if (length == 0 && connection.bytes.size() <= kMaxRequestHead) {
        done = false;
        return;
    }
    Job job{connection.fd, {}, 0};
    if (length == 0 || length > kMaxRequestHead) {
        job.refusal = 431;
    } else if (!ParseRequestHead(std::string_view(connection.bytes).substr(0, length), job.head)) {
        job.refusal = 400;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
    ready_.notify_one();
}

void ConversionServer::Run() {
    for (std::size_t i = 0; i < options_.workers; ++i) workers_.emplace_back([this] { Work(); });
    std::vector<Pending> pending;
    std::vector<pollfd> polled;
    while (!stopping_) {
        const Clock::time_point now = Clock::now();
        // Heads that took too long are answered and closed.
        std::erase_if(pending, [this, now](const Pending& connection) {
            if (connection.deadline > now) return false;
            SendWithoutWaiting(connection.fd, 408, "HTML conversion error: the request took too long to arrive");
            ::close(connection.fd);
            --open_;
            return true;
        });
        auto wait = options_.headTimeout;
        for (const Pending& connection : pending) {
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(connection.deadline - now));
        }
        polled.assign({{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}});
        for (const Pending& connection : pending) polled.push_back({connection.fd, POLLIN, 0});
        if (::poll(polled.data(), polled.size(), static_cast<int>(wait.count())) < 0 && errno != EINTR) break;
        if (polled[0].revents & POLLIN) AcceptAll(pending);
        std::vector<Pending> still;
        for (std::size_t i = 0; i + 2 < polled.size(); ++i) {
            bool done = false;
            if (polled[i + 2].revents != 0) ReadFrom(pending[i], done);
            if (!done) still.push_back(std::move(pending[i]));
        }
        // Connections accepted in this round come after the polled ones.
        for (std::size_t i = polled.size() - 2; i < pending.size(); ++i) still.push_back(std::move(pending[i]));
        pending = std::move(still);
    }
    for (const Pending& connection : pending) ::close(connection.fd);
    Stop();
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
}

void ConversionServer::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        ServiceAnswer answer;
        if (job.refusal == 400) {
            answer = {400, "text/plain; charset=windows-1252", "HTML conversion error: not an HTTP request\n"};
        } else if (job.refusal == 431) {
            answer = {431, "text/plain; charset=windows-1252", "HTML conversion error: the request head is too long\n"};
        } else {
            answer = AnswerRequest(job.head, context_);
        }
        Send(job.fd, answer, job.head.method == "HEAD");
        ::close(job.fd);
        --open_;
    }
}

void ConversionServer::Send(int fd, const ServiceAnswer& answer, bool headOnly) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
    const std::string bytes = AnswerBytes(answer, headOnly);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(fd, SHUT_WR);
}

}  // namespace tp::html2txt
