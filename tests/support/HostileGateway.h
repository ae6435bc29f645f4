#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vornex::test {

// A gateway on 127.0.0.1 that answers as its test tells it: every request that arrives on its one
// connection goes to `answer`, which writes what it likes back through send(). It ends when the
// link closes the connection or the gateway is destroyed.
class HostileGateway {
public:
    // The bytes received at once (a whole request, as a link sends it) and the connection.
    using Answer = std::function<void(const std::vector<uint8_t>& request, HostileGateway& self)>;

    explicit HostileGateway(Answer answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address_;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address_), size) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &size) != 0)
            return;
        thread_ = std::thread([this] { serve(); });
    }
    ~HostileGateway() {
        stop_.store(true);
        if (thread_.joinable())
            thread_.join();
        ::close(listener_);
    }
    HostileGateway(const HostileGateway&) = delete;
    HostileGateway& operator=(const HostileGateway&) = delete;

    std::string address(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
    }

    // False once the link is gone or the gateway is ending: an answer stops there.
    bool send(const std::vector<uint8_t>& bytes) {
        for (size_t sent = 0; sent < bytes.size() && !stop_.load();) {
            pollfd out{client_, POLLOUT, 0};
            if (::poll(&out, 1, 50) <= 0)
                continue;
            const ssize_t n =
                ::send(client_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<size_t>(n);
        }
        return !stop_.load();
    }
    // Waits like a slow gateway, but no longer than the gateway lives.
    bool pause(int milliseconds) {
        for (int waited = 0; waited < milliseconds && !stop_.load(); waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !stop_.load();
    }

private:
    void serve() {
        pollfd in{listener_, POLLIN, 0};
        while (!stop_.load() && ::poll(&in, 1, 50) <= 0) {
        }
        if (stop_.load())
            return;
        client_ = ::accept(listener_, nullptr, nullptr);
        uint8_t buffer[512];
        while (!stop_.load()) {
            pollfd request{client_, POLLIN, 0};
            if (::poll(&request, 1, 50) <= 0)
                continue;
            const ssize_t n = ::recv(client_, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            answer_(std::vector<uint8_t>(buffer, buffer + n), *this);
        }
        ::close(client_);
    }

    Answer answer_;
    int listener_ = -1;
    int client_ = -1;
    sockaddr_in address_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace vornex::test
