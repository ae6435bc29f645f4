#pragma once

#include <memory>
#include <string>

#include "link/Link.h"

namespace vornex {

// The link to whatever port is named: a serial port through libmodbus RTU, `tcp://` through
// libmodbus TCP, `rtu+tcp://` through RTU frames over TCP. Each open() picks the kind anew; those
// who poll, set and upload hold one of these and never learn which kind it is.
class PortLink : public Link {
public:
    PortLink() = default;
    ~PortLink() override;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    OpenResult open(const std::string& port) override;
    void close() override;
    bool isOpen() const override { return link_ && link_->isOpen(); }

    LinkResult setSlave(int address) override;
    LinkResult readInputRegisters(int first, int count, uint16_t* dest) override;
    LinkResult readHoldingRegisters(int first, int count, uint16_t* dest) override;
    LinkResult writeRegister(int address, uint16_t value) override;
    LinkResult writeRegisters(int first, int count, const uint16_t* values) override;
    LinkResult reportSlaveId(int maxBytes, uint8_t* dest, int& received) override;

private:
    std::unique_ptr<Link> link_;
};

}  // namespace vornex
