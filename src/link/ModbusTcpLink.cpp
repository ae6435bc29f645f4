#include "link/ModbusTcpLink.h"

#include <unistd.h>

#include "link/NetworkPort.h"

namespace vornex {

ModbusTcpLink::~ModbusTcpLink() {
    close();
}

OpenResult ModbusTcpLink::open(const std::string& port) {
    close();
    const std::optional<NetworkPort> address = NetworkPort::parse(port);
    if (!address || address->kind != NetworkPort::Kind::ModbusTcp)
        return OpenResult::CannotOpen;
    const NetworkConnection connection = connectTo(*address);
    if (connection.result == NetworkConnection::Result::UnknownHost)
        return OpenResult::UnknownHost;
    if (connection.result == NetworkConnection::Result::Refused)
        return OpenResult::Refused;
    modbus_t* ctx = modbus_new_tcp_pi(address->host.c_str(), std::to_string(address->port).c_str());
    if (ctx == nullptr || modbus_set_socket(ctx, connection.fd) != 0) {
        ::close(connection.fd);
        if (ctx != nullptr)
            modbus_free(ctx);
        return OpenResult::CannotOpen;
    }
    adopt(ctx);
    return OpenResult::Opened;
}

void ModbusTcpLink::close() {
    closeContext();
}

}  // namespace vornex
