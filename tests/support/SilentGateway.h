#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vornex::test {

// A gateway gone quiet on 127.0.0.1: it listens but its queue of connections is full, so the
// system drops every new attempt unanswered and a connect runs into its timeout, as it does when
// a gateway's cable is pulled. On a port of its own, or on `port` once its owner let it go.
class SilentGateway {
public:
    explicit SilentGateway(int port = 0) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address_.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t size = sizeof address_;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address_), size) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &size) != 0)
            return;
        // Connections that are never accepted, until one is no longer answered: how many the
        // queue holds is the system's business.
        for (int i = 0; i < kMostQueued && !ready; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address_), size);
            pollfd done{fd, POLLOUT, 0};
            if (::poll(&done, 1, kAnsweredWithinMs) == 1) {
                queued_.push_back(fd);
            } else {
                ::close(fd);
                ready = !queued_.empty();
            }
        }
    }
    ~SilentGateway() {
        for (int fd : queued_)
            ::close(fd);
        ::close(listener_);
    }
    SilentGateway(const SilentGateway&) = delete;
    SilentGateway& operator=(const SilentGateway&) = delete;

    std::string address() const {
        return "rtu+tcp://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
    }

    bool ready = false;

private:
    static constexpr int kMostQueued = 64;
    static constexpr int kAnsweredWithinMs = 200;

    int listener_ = -1;
    sockaddr_in address_{};
    std::vector<int> queued_;
};

}  // namespace vornex::test
