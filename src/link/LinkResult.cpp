#include "link/LinkResult.h"

#include <modbus/modbus.h>

#include <cerrno>

namespace vornex {

LinkResult LinkResult::notOpen() {
    return LinkResult(Kind::NotOpen, EBADF);
}

LinkResult LinkResult::lineGone(int error) {
    return LinkResult(Kind::LineGone, error);
}

LinkResult LinkResult::fromModbusError(int error) {
    if (error >= EMBXILFUN && error <= EMBXGTAR)
        return LinkResult(Kind::Exception, error);
    switch (error) {
        case ETIMEDOUT:
            return LinkResult(Kind::Timeout, error);
        case EMBBADCRC:
        case EMBBADDATA:
        case EMBBADEXC:
        case EMBUNKEXC:
        case EMBMDATA:
        case EMBBADSLAVE:
            return LinkResult(Kind::BadFrame, error);
        case EIO:
        case ENXIO:
        case ENODEV:
        case EBADF:
        // A network line: the gateway closed or reset the connection.
        case ECONNRESET:
        case ECONNABORTED:
        case EPIPE:
        case ENOTCONN:
            return LinkResult(Kind::LineGone, error);
        default:
            return LinkResult(Kind::SystemError, error);
    }
}

int LinkResult::exceptionCode() const {
    return kind_ == Kind::Exception ? error_ - MODBUS_ENOBASE : 0;
}

std::string LinkResult::describe() const {
    const std::string reason = modbus_strerror(error_);
    switch (kind_) {
        case Kind::Ok:
            return "ok";
        case Kind::Timeout:
            return "no answer (" + reason + ")";
        case Kind::Exception:
            return "the instrument refused the request (exception " +
                   std::to_string(exceptionCode()) + ": " + reason + ")";
        case Kind::BadFrame:
            return "a garbled reply (" + reason + ")";
        case Kind::LineGone:
            return "the port is gone (" + reason + ")";
        case Kind::NotOpen:
            return "the link is not open";
        case Kind::SystemError:
            break;
    }
    // Serial or network: the system error names which.
    return "the port failed (" + reason + ")";
}

}  // namespace vornex
