#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/Link.h"
#include "link/NetworkPort.h"
#include "link/RtuReply.h"

namespace vornex {

// Modbus RTU frames, CRC and all, over a TCP connection to a transparent serial gateway: the
// frames of the serial line, without its silences. A reply is known by the length its request
// and function code give, within one response timeout for the request and its reply together;
// the late bytes of a timed-out reply are waited out and thrown away before the next request to
// the same slave. Subclasses frame the same exchanges otherwise.
class RtuTcpLink : public Link {
public:
    static constexpr std::chrono::milliseconds kResponseTimeout{500};

    RtuTcpLink() = default;
    ~RtuTcpLink() override;
    RtuTcpLink(const RtuTcpLink&) = delete;
    RtuTcpLink& operator=(const RtuTcpLink&) = delete;

    OpenResult open(const std::string& port) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }

    LinkResult setSlave(int address) override;
    LinkResult readInputRegisters(int first, int count, uint16_t* dest) override;
    LinkResult readHoldingRegisters(int first, int count, uint16_t* dest) override;
    LinkResult writeRegister(int address, uint16_t value) override;
    LinkResult writeRegisters(int first, int count, const uint16_t* values) override;
    LinkResult reportSlaveId(int maxBytes, uint8_t* dest, int& received) override;

protected:
    virtual NetworkPort::Kind kind() const { return NetworkPort::Kind::RtuOverTcp; }
    // Puts the request (slave and PDU) into the frame it travels in.
    virtual void frame(std::vector<uint8_t>& request);
    virtual ReplyScan scan(const uint8_t* data, std::size_t size,
                           const ExpectedReply& expected) const;

private:
    // Sends the request (slave and PDU; the CRC is added) and waits for the expected reply, which
    // is left in reply_.
    LinkResult exchange(std::vector<uint8_t> request, ExpectedReply expected);
    LinkResult readRegisters(uint8_t function, int first, int count, uint16_t* dest);
    LinkResult beforeRequest();
    // Takes what has arrived without waiting, a bounded amount at a time so that a flood cannot
    // hold the caller; false when the connection ended.
    bool drain();
    LinkResult gone(int error);
    LinkResult timedOut();

    int fd_ = -1;
    bool lineGone_ = false;
    int goneError_ = 0;
    int slave_ = -1;
    int lateSlave_ = -1;
    std::chrono::steady_clock::time_point lateUntil_{};
    std::vector<uint8_t> received_;
    std::vector<uint8_t> reply_;
};

}  // namespace vornex
