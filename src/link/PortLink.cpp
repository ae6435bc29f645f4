#include "link/PortLink.h"

#include "link/ModbusLink.h"
#include "link/ModbusTcpLink.h"
#include "link/NetworkPort.h"
#include "link/RtuTcpLink.h"

namespace vornex {

namespace {

std::unique_ptr<Link> linkFor(const std::string& port) {
    const std::optional<NetworkPort> address = NetworkPort::parse(port);
    if (!address)
        return std::make_unique<ModbusLink>();
    if (address->kind == NetworkPort::Kind::RtuOverTcp)
        return std::make_unique<RtuTcpLink>();
    return std::make_unique<ModbusTcpLink>();
}

}  // namespace

PortLink::~PortLink() {
    close();
}

OpenResult PortLink::open(const std::string& port) {
    close();
    // A network address that does not parse is no serial port either.
    if (NetworkPort::named(port) && !NetworkPort::parse(port))
        return OpenResult::CannotOpen;
    link_ = linkFor(port);
    return link_->open(port);
}

void PortLink::close() {
    if (link_)
        link_->close();
}

LinkResult PortLink::setSlave(int address) {
    return link_ ? link_->setSlave(address) : LinkResult::notOpen();
}

LinkResult PortLink::readInputRegisters(int first, int count, uint16_t* dest) {
    return link_ ? link_->readInputRegisters(first, count, dest) : LinkResult::notOpen();
}

LinkResult PortLink::readHoldingRegisters(int first, int count, uint16_t* dest) {
    return link_ ? link_->readHoldingRegisters(first, count, dest) : LinkResult::notOpen();
}

LinkResult PortLink::writeRegister(int address, uint16_t value) {
    return link_ ? link_->writeRegister(address, value) : LinkResult::notOpen();
}

LinkResult PortLink::writeRegisters(int first, int count, const uint16_t* values) {
    return link_ ? link_->writeRegisters(first, count, values) : LinkResult::notOpen();
}

LinkResult PortLink::reportSlaveId(int maxBytes, uint8_t* dest, int& received) {
    if (!link_) {
        received = 0;
        return LinkResult::notOpen();
    }
    return link_->reportSlaveId(maxBytes, dest, received);
}

}  // namespace vornex
