#include "link/NetworkPort.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace vornex {

namespace {

constexpr const char* kModbusTcpScheme = "tcp://";
constexpr const char* kRtuOverTcpScheme = "rtu+tcp://";
constexpr int kConnectTimeoutMs = 500;
// A connection whose requests stay unacknowledged this long is dropped by the system, so that a
// gateway gone without a word (its cable pulled) ends as a lost line instead of a timeout on every
// read for ever.
constexpr unsigned kUnacknowledgedMs = 3000;

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Digits only, 1..65535; 0 otherwise.
int portNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int value = std::atoi(text.c_str());
    return value <= 65535 ? value : 0;
}

// Waits for a non-blocking connect to end; 0 when connected, else its errno.
int finishConnect(int fd) {
    pollfd pfd{fd, POLLOUT, 0};
    const int ready = ::poll(&pfd, 1, kConnectTimeoutMs);
    if (ready == 0)
        return ETIMEDOUT;
    if (ready < 0)
        return errno;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

}  // namespace

bool NetworkPort::named(const std::string& text) {
    return startsWith(text, kModbusTcpScheme) || startsWith(text, kRtuOverTcpScheme);
}

std::optional<NetworkPort> NetworkPort::parse(const std::string& text) {
    NetworkPort port;
    std::string rest;
    if (startsWith(text, kModbusTcpScheme)) {
        rest = text.substr(std::char_traits<char>::length(kModbusTcpScheme));
    } else if (startsWith(text, kRtuOverTcpScheme)) {
        port.kind = Kind::RtuOverTcp;
        rest = text.substr(std::char_traits<char>::length(kRtuOverTcpScheme));
    } else {
        return std::nullopt;
    }
    std::string portText;
    bool hasPort = false;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos)
            return std::nullopt;
        port.host = rest.substr(1, close - 1);
        const std::string after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return std::nullopt;
            portText = after.substr(1);
            hasPort = true;
        }
    } else {
        const size_t colon = rest.find(':');
        port.host = rest.substr(0, colon);
        if (colon != std::string::npos) {
            portText = rest.substr(colon + 1);
            hasPort = true;
        }
    }
    if (port.host.empty() || port.host.find_first_of("/ ") != std::string::npos)
        return std::nullopt;
    if (hasPort) {
        port.port = portNumber(portText);
        if (port.port == 0)
            return std::nullopt;
    } else if (port.kind == Kind::RtuOverTcp) {
        return std::nullopt;
    }
    return port;
}

NetworkConnection connectTo(const NetworkPort& port) {
    NetworkConnection connection;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port.port);
    if (::getaddrinfo(port.host.c_str(), service.c_str(), &hints, &found) != 0) {
        connection.result = OpenResult::UnknownHost;
        return connection;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
    connection.error = ECONNREFUSED;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            connection.error = errno;
            continue;
        }
        int error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS)
            error = finishConnect(fd);
        if (error != 0) {
            connection.error = error;
            ::close(fd);
            continue;
        }
        // Requests are a few bytes each and wait for their reply: none may wait to be joined.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUnacknowledgedMs,
                     sizeof kUnacknowledgedMs);
        connection.result = OpenResult::Opened;
        connection.fd = fd;
        connection.error = 0;
        return connection;
    }
    return connection;
}

OpenResult connectTo(const std::string& port, NetworkPort::Kind kind, NetworkPort& address,
                     int& fd) {
    const std::optional<NetworkPort> parsed = NetworkPort::parse(port);
    if (!parsed || parsed->kind != kind)
        return OpenResult::CannotOpen;
    address = *parsed;
    const NetworkConnection connection = connectTo(address);
    fd = connection.fd;
    return connection.result;
}

}  // namespace vornex
