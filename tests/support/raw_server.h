#pragma once

// A loopback TCP server for tests where exact bytes matter: it records each request's head as
// received and then runs a script on the connection (answer, cut the body, stay silent...).

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sornel::test {

class RawServer {
public:
    // Runs on the server's thread for each connection, after the request head has been read.
    // It should return soon after `stopping` turns true; the connection is closed after it.
    using Script =
        std::function<void(int socket, const std::string& head, const std::atomic<bool>& stopping)>;

    // `acceptConnections` false makes a server that never accepts, with its accept queue
    // filled, so that a further connect stalls in its handshake.
    explicit RawServer(Script script, bool acceptConnections = true);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& pathAndMore = "/") const;
    std::vector<std::string> heads() const;
    int connections() const { return connections_.load(); }

    // Helpers for scripts.
    static bool sendAll(int socket, std::string_view bytes);
    static void waitUntil(const std::atomic<bool>& stopping);

private:
    void serve();

    Script script_;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> heads_;
    std::thread thread_;
};

// The header lines of a request head, without the request line and the blank line.
std::vector<std::string> headerLines(const std::string& head);
std::string requestLine(const std::string& head);

} // namespace sornel::test
