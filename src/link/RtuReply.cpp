#include "link/RtuReply.h"

namespace vornex {

namespace {

constexpr uint8_t kExceptionFlag = 0x80;

// The whole length of a reply frame from its first bytes: 0 while more bytes are needed to tell,
// -1 for a function whose replies this link never asks for.
long replyLength(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const uint8_t function = data[1];
    if ((function & kExceptionFlag) != 0)
        return 5;
    switch (function) {
        case 0x03:
        case 0x04:
        case 0x11:
            return size < 3 ? 0 : 5 + data[2];
        case 0x06:
        case 0x10:
            return 8;
        default:
            return -1;
    }
}

bool crcMatches(const uint8_t* frame, std::size_t size) {
    const uint16_t crc = rtuCrc(frame, size - 2);
    return frame[size - 2] == (crc & 0xFF) && frame[size - 1] == (crc >> 8);
}

}  // namespace

uint16_t rtuCrc(const uint8_t* data, std::size_t size) {
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

ReplyScan scanReply(const uint8_t* data, std::size_t size, const ExpectedReply& expected) {
    ReplyScan scan;
    const long length = replyLength(data, size);
    if (length == 0)
        return scan;
    if (length < 0) {
        scan.status = ReplyScan::Status::Skip;
        scan.length = 1;
        return scan;
    }
    scan.length = static_cast<std::size_t>(length);
    if (size < scan.length)
        return scan;
    const bool exception = (data[1] & kExceptionFlag) != 0;
    const bool ours = data[0] == expected.slave &&
                      (data[1] & static_cast<uint8_t>(~kExceptionFlag)) == expected.function;
    if (!crcMatches(data, scan.length)) {
        scan.status = ours ? ReplyScan::Status::BadCrc : ReplyScan::Status::Skip;
        if (!ours)
            scan.length = 1;
        return scan;
    }
    if (ours && exception) {
        scan.status = ReplyScan::Status::Exception;
        scan.exceptionCode = data[2];
    } else if (ours && (expected.counted || scan.length == expected.length)) {
        scan.status = ReplyScan::Status::Reply;
    } else {
        scan.status = ReplyScan::Status::Skip;
        scan.otherLength = ours;
    }
    return scan;
}

ReplyScan scanMbapReply(const uint8_t* data, std::size_t size, const ExpectedReply& expected,
                        uint16_t transaction) {
    ReplyScan scan;
    if (size < kMbapHeaderSize + 2)
        return scan;
    const unsigned protocol = static_cast<unsigned>(data[2] << 8 | data[3]);
    const std::size_t following = static_cast<std::size_t>(data[4] << 8 | data[5]);
    // Unit and function, then at least an exception code, and no more than one PDU.
    if (protocol != 0 || following < 3 || following > 254) {
        scan.status = ReplyScan::Status::Skip;
        scan.length = 1;
        return scan;
    }
    scan.length = kMbapHeaderSize + following;
    scan.header = kMbapHeaderSize;
    if (size < scan.length)
        return scan;
    if (static_cast<uint16_t>(data[0] << 8 | data[1]) != transaction) {
        scan.status = ReplyScan::Status::Skip;
        return scan;
    }
    const uint8_t* frame = data + kMbapHeaderSize;
    const uint8_t function = frame[1] & static_cast<uint8_t>(~kExceptionFlag);
    const bool exception = (frame[1] & kExceptionFlag) != 0;
    const bool counted = function == 0x03 || function == 0x04 || function == 0x11;
    if (frame[0] != expected.slave) {
        scan.status = ReplyScan::Status::OtherUnit;
    } else if (function != expected.function) {
        scan.status = ReplyScan::Status::Malformed;
    } else if (exception) {
        scan.status = following == 3 ? ReplyScan::Status::Exception : ReplyScan::Status::Malformed;
        scan.exceptionCode = frame[2];
    } else if ((counted && frame[2] != following - 3) ||
               (!expected.counted && following + 2 != expected.length)) {
        scan.status = ReplyScan::Status::Malformed;
    } else {
        scan.status = ReplyScan::Status::Reply;
    }
    return scan;
}

}  // namespace vornex
