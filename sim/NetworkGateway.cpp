#include "NetworkGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

#include "Crc16.h"
#include "RtuFramer.h"

namespace vornex::sim {

namespace {

constexpr std::size_t kMbapSize = 7;

// Bytes received on one connection that form no whole request yet.
struct Connection {
    std::vector<uint8_t> mbap;
    RtuFramer rtu;
};

bool sendAll(int fd, const std::vector<uint8_t>& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

NetworkGateway::NetworkGateway(SimulatedLine& line, Framing framing, int port)
    : line_(line), framing_(framing), port_(port) {}

NetworkGateway::~NetworkGateway() {
    close();
}

bool NetworkGateway::open(std::string& error) {
    const std::lock_guard<std::mutex> lock(lifecycleMutex_);
    if (thread_.joinable()) {
        error = "the gateway is already open";
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_.load()));
    socklen_t size = sizeof address;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error =
            "cannot listen on port " + std::to_string(port_.load()) + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    port_ = ntohs(address.sin_port);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread(&NetworkGateway::serve, this, fd);
    return true;
}

void NetworkGateway::close() {
    const std::lock_guard<std::mutex> lock(lifecycleMutex_);
    if (!thread_.joinable())
        return;
    const uint64_t one = 1;
    (void)!::write(wakeFd_, &one, sizeof one);
    thread_.join();
    ::close(wakeFd_);
    wakeFd_ = -1;
}

bool NetworkGateway::listening() const {
    const std::lock_guard<std::mutex> lock(lifecycleMutex_);
    return thread_.joinable();
}

std::string NetworkGateway::address() const {
    return std::string(framing_ == Framing::ModbusTcp ? "tcp://" : "rtu+tcp://") +
           "127.0.0.1:" + std::to_string(port_.load());
}

void NetworkGateway::serve(int listenFd) {
    std::map<int, Connection> connections;
    std::vector<uint8_t> buffer(1024);
    for (;;) {
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}, {listenFd, POLLIN, 0}};
        for (const auto& entry : connections)
            fds.push_back({entry.first, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                const int on = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                connections.emplace(client, Connection());
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            const int fd = fds[i].fd;
            const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                ::close(fd);
                connections.erase(fd);
                continue;
            }
            Connection& connection = connections[fd];
            bool open = true;
            if (framing_ == Framing::RtuOverTcp) {
                connection.rtu.feed(buffer.data(), static_cast<std::size_t>(n));
                while (open) {
                    const auto request = connection.rtu.takeFrame();
                    if (!request)
                        break;
                    if (const auto reply = line_.exchangeThroughGateway(*request, wakeFd_))
                        open = sendAll(fd, *reply);
                }
            } else {
                std::vector<uint8_t>& in = connection.mbap;
                in.insert(in.end(), buffer.begin(), buffer.begin() + n);
                while (open && in.size() >= kMbapSize) {
                    const std::size_t length = static_cast<std::size_t>(in[4] << 8 | in[5]);
                    if (in[2] != 0 || in[3] != 0 || length < 2) {
                        open = false;
                        break;
                    }
                    if (in.size() < 6 + length)
                        break;
                    std::vector<uint8_t> request(in.begin() + 6, in.begin() + 6 + length);
                    appendCrc(request);
                    const auto reply = line_.exchangeThroughGateway(request, wakeFd_);
                    // A reply garbled on the serial side does not pass the gateway.
                    if (reply && hasValidCrc(reply->data(), reply->size())) {
                        const std::size_t pdu = reply->size() - 2;
                        std::vector<uint8_t> out{in[0],
                                                 in[1],
                                                 0,
                                                 0,
                                                 static_cast<uint8_t>(pdu >> 8),
                                                 static_cast<uint8_t>(pdu & 0xFF)};
                        out.insert(out.end(), reply->begin(), reply->end() - 2);
                        open = sendAll(fd, out);
                    }
                    in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(6 + length));
                }
            }
            if (!open) {
                ::close(fd);
                connections.erase(fd);
            }
        }
    }
    for (const auto& entry : connections)
        ::close(entry.first);
    ::close(listenFd);
}

}  // namespace vornex::sim
