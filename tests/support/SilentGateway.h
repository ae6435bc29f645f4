#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

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
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        // A backlog of 0 holds one connection: this one fills it.
        filler_ = ::socket(AF_INET, SOCK_STREAM, 0);
        ready = ::connect(filler_, reinterpret_cast<sockaddr*>(&address), size) == 0;
    }
    ~SilentGateway() {
        ::close(filler_);
        ::close(listener_);
    }
    SilentGateway(const SilentGateway&) = delete;
    SilentGateway& operator=(const SilentGateway&) = delete;

    std::string address() const { return "rtu+tcp://127.0.0.1:" + std::to_string(port_); }

    bool ready = false;

private:
    int listener_ = -1;
    int filler_ = -1;
    int port_ = 0;
};

}  // namespace vornex::test
