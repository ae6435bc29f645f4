#include "link/LineProbe.h"

#include <unistd.h>

#include <utility>

#include "link/NetworkPort.h"

namespace vornex {

LineProbe::Answer LineProbe::ask(const std::string& port) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (try_) {
            if (!try_->ended)
                return Answer::Trying;
            const bool connected = std::exchange(try_, std::nullopt)->connected;
            if (connected && port_ == port)
                return Answer::Reachable;
        }
    }
    const std::optional<NetworkPort> address = NetworkPort::parse(port);
    if (!address)
        return Answer::Trying;
    port_ = port;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        try_ = Try{};
    }
    if (!worker_)
        worker_.emplace();
    // The connection only shows the way is open: the link opens its own.
    worker_->post([this, address = *address] {
        const NetworkConnection connection = connectTo(address);
        const bool connected = connection.fd >= 0;
        if (connected)
            ::close(connection.fd);
        const std::lock_guard<std::mutex> lock(mutex_);
        try_ = Try{true, connected};
    });
    return Answer::Trying;
}

}  // namespace vornex
