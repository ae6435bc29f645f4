#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/LinkResult.h"
#include "link/OpenResult.h"

namespace vornex {

// How long after a response timeout a late reply is still expected. Before the next request to
// the same slave its bytes are waited for and thrown away, so that it cannot pass for the reply
// to that request: a late reply of the same slave, function and length looks exactly like the
// answer to a later one. A request to another slave does not wait: a reply from a slave that was
// not asked is never taken, so a late reply there costs one failed read at most, never a wrong
// value, and a switched-off instrument costs the line no more than its response timeout.
constexpr auto kLateReplyWindow = std::chrono::milliseconds(200);

// One Modbus master link to a line of instruments, whatever carries it: a serial port, a Modbus
// TCP gateway or RTU frames over TCP. The register map's request sequences are written against
// this; every exchange says what it came to, and once one has found the line gone (adapter
// unplugged, connection closed or reset), every later one fails as LineGone without touching it.
class Link {
public:
    virtual ~Link() = default;

    // Opened, InUse, CannotOpen, UnknownHost or Refused.
    virtual OpenResult open(const std::string& port) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual LinkResult setSlave(int address) = 0;
    virtual LinkResult readInputRegisters(int first, int count, uint16_t* dest) = 0;
    virtual LinkResult readHoldingRegisters(int first, int count, uint16_t* dest) = 0;
    virtual LinkResult writeRegister(int address, uint16_t value) = 0;
    virtual LinkResult writeRegisters(int first, int count, const uint16_t* values) = 0;
    // `received` is the number of data bytes in the reply (at most maxBytes are stored).
    virtual LinkResult reportSlaveId(int maxBytes, uint8_t* dest, int& received) = 0;
};

}  // namespace vornex
