#include "link/ModbusTcpLink.h"

#include <unistd.h>

#include "link/NetworkPort.h"

namespace vornex {

ModbusTcpLink::~ModbusTcpLink() {
    close();
}

OpenResult ModbusTcpLink::open(const std::string& port) {
    close();
    NetworkPort address;
    int fd = -1;
    if (const OpenResult opened = connectTo(port, NetworkPort::Kind::ModbusTcp, address, fd);
        opened != OpenResult::Opened)
        return opened;
    modbus_t* ctx = modbus_new_tcp_pi(address.host.c_str(), std::to_string(address.port).c_str());
    if (ctx == nullptr || modbus_set_socket(ctx, fd) != 0) {
        ::close(fd);
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
