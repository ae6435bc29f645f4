#pragma once

#include <cstdint>
#include <string>

#include <modbus/modbus.h>

namespace vornex {

enum class OpenResult {
    Opened,
    InUse,       // another link holds the port
    CannotOpen,  // absent, not a tty, or refused by the system
};

// One Modbus RTU master link on a serial port, 19200 baud 8E1. Owns its libmodbus context and
// holds the port exclusively while open. Every call returns false on failure; after a failure
// lineGone() tells whether the port itself has vanished (the device was unplugged or the other
// end of a pseudo-terminal closed), after which no further call can succeed.
class ModbusLink {
public:
    ModbusLink() = default;
    ~ModbusLink();
    ModbusLink(const ModbusLink&) = delete;
    ModbusLink& operator=(const ModbusLink&) = delete;

    OpenResult open(const std::string& port);
    void close();
    bool isOpen() const { return ctx_ != nullptr; }
    bool lineGone() const { return lineGone_; }
    // errno of the last failed call, for messages.
    int lastError() const { return lastError_; }

    bool setSlave(int address);
    bool readInputRegisters(int first, int count, uint16_t* dest);
    bool readHoldingRegisters(int first, int count, uint16_t* dest);
    bool writeRegister(int address, uint16_t value);
    bool writeRegisters(int first, int count, const uint16_t* values);
    // Returns the number of data bytes received (at most maxBytes are stored), or -1.
    int reportSlaveId(int maxBytes, uint8_t* dest);

private:
    bool beforeRequest();
    bool failed();
    void discardLateReply();

    modbus_t* ctx_ = nullptr;
    bool lineGone_ = false;
    int lastError_ = 0;
};

}  // namespace vornex
