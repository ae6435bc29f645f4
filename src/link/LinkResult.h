#pragma once

#include <string>

namespace vornex {

// What one exchange on a Modbus link came to. Failures keep the errno they were made from, so a
// message can still name the system's or the library's own reason.
class LinkResult {
public:
    enum class Kind {
        Ok,
        Timeout,    // no complete reply within the response timeout
        Exception,  // the instrument answered with a Modbus exception
        BadFrame,   // a reply came but was garbled or did not fit the request
        LineGone,   // the port vanished: adapter unplugged, pty closed, connection closed or reset
        NotOpen,    // no link was open
        SystemError,  // the serial driver failed for another reason
    };

    LinkResult() = default;
    static LinkResult success() { return LinkResult(); }
    static LinkResult notOpen();
    static LinkResult lineGone(int error);
    // Classifies the errno that a libmodbus call left behind after returning -1.
    static LinkResult fromModbusError(int error);

    Kind kind() const { return kind_; }
    bool ok() const { return kind_ == Kind::Ok; }
    explicit operator bool() const { return ok(); }
    bool isLineGone() const { return kind_ == Kind::LineGone; }
    // The Modbus exception code (1 illegal function, 2 illegal data address, ...); 0 otherwise.
    int exceptionCode() const;
    int error() const { return error_; }

    // A short text for messages, e.g. "the instrument refused the request (exception 2:
    // Illegal data address)" or "no answer (Connection timed out)".
    std::string describe() const;

private:
    LinkResult(Kind kind, int error) : kind_(kind), error_(error) {}

    Kind kind_ = Kind::Ok;
    int error_ = 0;
};

}  // namespace vornex
