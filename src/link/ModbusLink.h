#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include <modbus/modbus.h>

#include "link/Link.h"

namespace vornex {

// A Modbus link through libmodbus. As it stands, Modbus RTU on a serial port, 19200 baud 8E1,
// held exclusively while open; a USB adapter is asked for low latency (its driver hands each
// received byte over at once instead of holding it up to its latency timer) and given back its
// own setting on close.
class ModbusLink : public Link {
public:
    ModbusLink() = default;
    ~ModbusLink() override;
    ModbusLink(const ModbusLink&) = delete;
    ModbusLink& operator=(const ModbusLink&) = delete;

    OpenResult open(const std::string& port) override;
    void close() override;
    bool isOpen() const override { return ctx_ != nullptr; }

    LinkResult setSlave(int address) override;
    LinkResult readInputRegisters(int first, int count, uint16_t* dest) override;
    LinkResult readHoldingRegisters(int first, int count, uint16_t* dest) override;
    LinkResult writeRegister(int address, uint16_t value) override;
    LinkResult writeRegisters(int first, int count, const uint16_t* values) override;
    LinkResult reportSlaveId(int maxBytes, uint8_t* dest, int& received) override;

private:
    // Takes a connected context as the link's own, with its exchanges starting afresh.
    void adopt(modbus_t* ctx);
    // Closes and frees the context.
    void closeContext();

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
    // The serial driver's flags before low latency was asked for, to put back on close.
    int savedSerialFlags_ = -1;
};

}  // namespace vornex
