#pragma once

#include <string>

#include "link/ModbusLink.h"

namespace vornex {

// Modbus TCP through libmodbus, to a gateway that speaks RTU on its serial side: the slave
// address travels as the unit identifier. The connection is made by this program, so that a host
// name that does not resolve is told apart from a gateway that refuses.
class ModbusTcpLink : public ModbusLink {
public:
    ModbusTcpLink() = default;
    ~ModbusTcpLink() override;

    OpenResult open(const std::string& port) override;
    void close() override;
};

}  // namespace vornex
