#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include <modbus/modbus.h>

#include "link/LinkResult.h"

namespace vornex {

enum class OpenResult {
    Opened,
    InUse,       // another link holds the port
    CannotOpen,  // absent, not a tty, or refused by the system
};

// One Modbus RTU master link on a serial port, 19200 baud 8E1. Owns its libmodbus context and
// holds the port exclusively while open. Every exchange says what it came to; once one has found
// the port vanished (the device was unplugged or the other end of a pseudo-terminal closed), every
// later one fails as LineGone without touching the line.
class ModbusLink {
public:
    ModbusLink() = default;
    ~ModbusLink();
    ModbusLink(const ModbusLink&) = delete;
    ModbusLink& operator=(const ModbusLink&) = delete;

    OpenResult open(const std::string& port);
    void close();
    bool isOpen() const { return ctx_ != nullptr; }

    LinkResult setSlave(int address);
    LinkResult readInputRegisters(int first, int count, uint16_t* dest);
    LinkResult readHoldingRegisters(int first, int count, uint16_t* dest);
    LinkResult writeRegister(int address, uint16_t value);
    LinkResult writeRegisters(int first, int count, const uint16_t* values);
    // `received` is the number of data bytes in the reply (at most maxBytes are stored).
    LinkResult reportSlaveId(int maxBytes, uint8_t* dest, int& received);

private:
    LinkResult beforeRequest();
    LinkResult failed();
    // Waits out what is left of the window for a late reply, throwing its bytes away; true when
    // the line hung up meanwhile.
    bool discardLateReply();

    modbus_t* ctx_ = nullptr;
    bool lineGone_ = false;
    int goneError_ = 0;
    int slave_ = -1;
    // After a response timeout the slave that may still answer late, and until when.
    int lateSlave_ = -1;
    std::chrono::steady_clock::time_point lateUntil_{};
};

}  // namespace vornex
