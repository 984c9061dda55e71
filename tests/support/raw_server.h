// A misbehaving peer for tests of network failures: a TCP server on 127.0.0.1
// that reads each request up to its blank line, sends a fixed reply, and then
// ends the connection in a chosen bad way.
//
//   tp::test::RawServer server("HTTP/1.1 200 OK\r\nContent-Length: 9999\r\n\r\npart",
//                              tp::test::RawServer::Ending::kReset);
//   FetchUrl(server.url("/"));  // the body breaks off after "part"
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace tp::test {

class RawServer {
public:
    enum class Ending {
        kClose,  // orderly close after the reply
        kReset,  // abortive close (SO_LINGER 0): the peer sees a connection reset
        kStall,  // keep the connection open, silent, until the server is destroyed
        kTrickle,  // then one byte every half second, until the peer goes or the server is destroyed
    };

    // Listens at once on a free port; serves one connection after another.
    RawServer(std::string reply, Ending ending);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // "http://127.0.0.1:<port>" + path.
    std::string url(const std::string& path) const;
    int port() const { return port_; }
    // Connections accepted so far.
    int connections() const { return connections_; }

private:
    void Run();
    void Serve(int client);

    std::string reply_;
    Ending ending_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

// A port on 127.0.0.1 on which nothing listens: connections are refused. The
// port is held (bound, never listening) for the object's life, so no other
// server can take it meanwhile.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    std::string url(const std::string& path) const;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace tp::test
