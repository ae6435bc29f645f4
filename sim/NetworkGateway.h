#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "SimulatedLine.h"

namespace vornex::sim {

// A gateway in front of a simulated line, listening on a TCP port of this machine: a Modbus TCP
// gateway (MBAP frames, the unit identifier as slave address) or a transparent one that passes
// RTU frames through. Every connection is served by one thread of its own, a request at a time,
// as the one serial line behind the gateway allows. Closing it is pulling its network cable: the
// listening socket and every connection close.
class NetworkGateway {
public:
    enum class Framing { ModbusTcp, RtuOverTcp };

    // Port 0 takes a free port, which the gateway keeps when opened again.
    NetworkGateway(SimulatedLine& line, Framing framing, int port);
    ~NetworkGateway();
    NetworkGateway(const NetworkGateway&) = delete;
    NetworkGateway& operator=(const NetworkGateway&) = delete;

    // Listens on 127.0.0.1 and serves; false with a message in error when it cannot.
    bool open(std::string& error);
    void close();
    bool listening() const;
    int port() const { return port_.load(); }
    // What a client names to reach it: tcp://127.0.0.1:PORT or rtu+tcp://127.0.0.1:PORT.
    std::string address() const;

private:
    void serve(int listenFd);

    SimulatedLine& line_;
    const Framing framing_;
    std::atomic<int> port_;

    mutable std::mutex lifecycleMutex_;
    std::thread thread_;
    int wakeFd_ = -1;
};

}  // namespace vornex::sim
