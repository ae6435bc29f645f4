#pragma once

#include <cstddef>
#include <cstdint>

namespace vornex {

// Modbus RTU CRC-16: polynomial 0xA001 (reflected 0x8005), initial value 0xFFFF; on the wire the
// low byte goes first.
uint16_t rtuCrc(const uint8_t* data, std::size_t size);

// The reply a request waits for. `length` is the whole frame, CRC included.
struct ExpectedReply {
    uint8_t slave = 0;
    uint8_t function = 0;
    std::size_t length = 0;
    // The length is told by the reply's byte count (report slave ID), not known beforehand.
    bool counted = false;
};

// What the bytes received so far, from their start, come to for the expected reply. A stream
// without gaps between frames (a TCP connection) is cut by the lengths the function codes give:
// a whole frame with a good CRC that is not the expected one (the late reply of another request)
// is skipped, a byte that starts no frame is skipped alone.
struct ReplyScan {
    enum class Status {
        NeedMore,   // wait for more bytes
        Skip,       // drop `length` bytes and scan again
        Reply,      // the first `length` bytes are the reply
        Exception,  // the first `length` bytes are an exception reply; `exceptionCode` says which
        BadCrc,     // the expected reply came with a wrong CRC
        OtherUnit,  // the reply to this very request, from a unit that was not asked
        Malformed,  // the reply to this very request, of another function or length
    };
    Status status = Status::NeedMore;
    std::size_t length = 0;
    // Bytes of the `length` before the slave address (the MBAP header).
    std::size_t header = 0;
    int exceptionCode = 0;
    // A skipped frame from the slave and of the function asked, only of another length.
    bool otherLength = false;
};

ReplyScan scanReply(const uint8_t* data, std::size_t size, const ExpectedReply& expected);

constexpr std::size_t kMbapHeaderSize = 6;

// The same for Modbus TCP, whose frames are cut by their MBAP headers: a frame of an earlier
// transaction is skipped whole, a header no gateway sends (a protocol other than Modbus, a length
// outside one PDU) a byte at a time until the stream is in step again. The expected length is
// still that of the RTU frame.
ReplyScan scanMbapReply(const uint8_t* data, std::size_t size, const ExpectedReply& expected,
                        uint16_t transaction);

}  // namespace vornex
