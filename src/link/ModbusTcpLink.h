#pragma once

#include <cstdint>
#include <vector>

#include "link/RtuTcpLink.h"

namespace vornex {

// Modbus TCP to a gateway that speaks RTU on its serial side: the slave address travels as the
// unit identifier. The exchanges are those of RTU over TCP with MBAP headers for CRCs, framed
// here rather than by libmodbus, which takes a reply of any unit and waits for a slow one as long
// as each byte keeps coming. A reply counts only with the transaction identifier of its request
// and the unit that was asked.
class ModbusTcpLink : public RtuTcpLink {
public:
    ModbusTcpLink() = default;

protected:
    NetworkPort::Kind kind() const override { return NetworkPort::Kind::ModbusTcp; }
    void frame(std::vector<uint8_t>& request) override;
    ReplyScan scan(const uint8_t* data, std::size_t size,
                   const ExpectedReply& expected) const override;

private:
    uint16_t transaction_ = 0;
};

}  // namespace vornex
