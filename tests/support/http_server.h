#pragma once

// A cpp-httplib server (plain or TLS) on a loopback port, served from its own thread for as
// long as the object lives.

#include <chrono>
#include <httplib.h>
#include <memory>
#include <string>
#include <thread>

namespace sornel::test {

class HttpServer {
public:
    explicit HttpServer(
        std::unique_ptr<httplib::Server> server = std::make_unique<httplib::Server>())
        : server_(std::move(server))
    {
    }
    ~HttpServer()
    {
        server_->stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    httplib::Server& routes() { return *server_; }

    // Call once the routes are in place; on `port`, or on any free port when it is 0. False
    // when the port cannot be had.
    bool start(int port = 0)
    {
        if (port == 0) {
            port_ = server_->bind_to_any_port("127.0.0.1");
        } else if (server_->bind_to_port("127.0.0.1", port)) {
            port_ = port;
        } else {
            return false;
        }
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    int port() const { return port_; }
    std::string url(const std::string& path, const std::string& scheme = "http") const
    {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace sornel::test
