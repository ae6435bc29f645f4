#include "link/LineProbe.h"

#include <unistd.h>

#include <chrono>

#include "link/NetworkPort.h"

namespace vornex {

LineProbe::Answer LineProbe::ask(const std::string& port) {
    if (attempt_.valid()) {
        if (attempt_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return Answer::Trying;
        const bool connected = attempt_.get();
        if (connected && port_ == port)
            return Answer::Reachable;
    }
    const std::optional<NetworkPort> address = NetworkPort::parse(port);
    if (!address)
        return Answer::Trying;
    port_ = port;
    // The connection only shows the way is open: the link opens its own.
    attempt_ = std::async(std::launch::async, [address = *address] {
        const NetworkConnection connection = connectTo(address);
        if (connection.fd >= 0)
            ::close(connection.fd);
        return connection.result == NetworkConnection::Result::Connected;
    });
    return Answer::Trying;
}

}  // namespace vornex
