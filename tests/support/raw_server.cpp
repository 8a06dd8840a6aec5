#include "support/raw_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace sornel::test {

RawServer::RawServer(Script script, bool acceptConnections) : script_(std::move(script))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, acceptConnections ? 16 : 0) != 0) {
        throw std::runtime_error("RawServer: cannot listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        throw std::runtime_error("RawServer: no pipe");
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    if (!acceptConnections) {
        // Fill the accept queue; nobody will ever take these connections.
        for (int i = 0; i < 4; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(filler);
        }
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer()
{
    stopping_ = true;
    [[maybe_unused]] const auto written = ::write(wakeWrite_, "x", 1);
    if (thread_.joinable()) {
        thread_.join();
    }
    for (const int filler : fillers_) {
        ::close(filler);
    }
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::string RawServer::url(const std::string& pathAndMore) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndMore;
}

std::vector<std::string> RawServer::heads() const
{
    const std::lock_guard lock(mutex_);
    return heads_;
}

bool RawServer::sendAll(int socket, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void RawServer::waitUntil(const std::atomic<bool>& stopping)
{
    while (!stopping) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void RawServer::serve()
{
    while (!stopping_) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(fds, 2, -1) <= 0 || (fds[1].revents & POLLIN) != 0) {
            continue;
        }
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0) {
            continue;
        }
        ++connections_;
        // Read the head: up to the blank line, or until the client or the test gives up.
        std::string head;
        char buffer[4096];
        while (!stopping_ && head.find("\r\n\r\n") == std::string::npos) {
            pollfd in[2] = {{connection, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
            if (::poll(in, 2, -1) <= 0 || (in[1].revents & POLLIN) != 0) {
                break;
            }
            const auto got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            head.append(buffer, static_cast<std::size_t>(got));
        }
        {
            const std::lock_guard lock(mutex_);
            heads_.push_back(head);
        }
        if (!stopping_) {
            script_(connection, head, stopping_);
        }
        ::close(connection);
    }
}

std::string requestLine(const std::string& head)
{
    return head.substr(0, head.find("\r\n"));
}

std::vector<std::string> headerLines(const std::string& head)
{
    std::vector<std::string> lines;
    std::size_t start = head.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start) {
            break;
        }
        lines.push_back(head.substr(start, end - start));
        start = end;
    }
    return lines;
}

} // namespace sornel::test
