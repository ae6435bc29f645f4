#pragma once

#include <optional>
#include <string>

#include "link/OpenResult.h"

namespace vornex {

// A port across the network: `tcp://HOST[:PORT]` is a Modbus TCP gateway (port 502 unless
// given), `rtu+tcp://HOST:PORT` a transparent gateway that passes RTU frames through. HOST is a
// name, an IPv4 address or an IPv6 address in brackets.
struct NetworkPort {
    enum class Kind { ModbusTcp, RtuOverTcp };
    static constexpr int kModbusTcpPort = 502;

    Kind kind = Kind::ModbusTcp;
    std::string host;
    int port = kModbusTcpPort;

    // Nullopt for a serial port's path and for an address that does not parse (no host, a port
    // outside 1..65535, RTU over TCP without a port).
    static std::optional<NetworkPort> parse(const std::string& text);
    // True when the text names a network port, well formed or not.
    static bool named(const std::string& text);
};

// A connected TCP socket to a network port, or why there is none. The connection is given as long
// as a response timeout, so that a retry loop on an unreachable gateway does not stall its caller.
struct NetworkConnection {
    OpenResult result = OpenResult::Refused;  // Opened, UnknownHost or Refused
    int fd = -1;
    int error = 0;  // errno of a refused connection
};

NetworkConnection connectTo(const NetworkPort& port);

// Connects to `port` when it names a network port of `kind`: Opened with its address and socket,
// or why not (an address of another kind, or none, cannot be opened).
OpenResult connectTo(const std::string& port, NetworkPort::Kind kind, NetworkPort& address,
                     int& fd);

}  // namespace vornex
