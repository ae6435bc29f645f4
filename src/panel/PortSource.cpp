#include "panel/PortSource.h"

#include <sys/stat.h>

#include "link/NetworkPort.h"
#include "link/PortDiscovery.h"

namespace vornex {

PortSource namedAndSystemPorts(std::vector<std::string> named) {
    return [named = std::move(named)] {
        std::vector<std::string> present;
        for (const std::string& port : named) {
            struct stat info {};
            // A gateway is not seen to come and go: its port stays listed.
            if (NetworkPort::named(port) || ::stat(port.c_str(), &info) == 0)
                present.push_back(port);
        }
        return discoverPorts(present);
    };
}

}  // namespace vornex
