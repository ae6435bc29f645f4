#include "link/RtuTcpLink.h"

#include <modbus/modbus.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "link/NetworkPort.h"

namespace vornex {

namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kReadInput = 0x04;
constexpr uint8_t kWriteSingle = 0x06;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kReportSlaveId = 0x11;

void appendWord(std::vector<uint8_t>& frame, int value) {
    frame.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    frame.push_back(static_cast<uint8_t>(value & 0xFF));
}

// Enough for any reply many times over; more waits for the next look.
constexpr size_t kMostTakenAtOnce = 64 * 1024;
// Bytes skipped between looks at the clock while noise is searched for a reply.
constexpr size_t kSkipsPerClockLook = 256;

int millisecondsUntil(std::chrono::steady_clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

RtuTcpLink::~RtuTcpLink() {
    close();
}

OpenResult RtuTcpLink::open(const std::string& port) {
    close();
    NetworkPort address;
    if (const OpenResult opened = connectTo(port, kind(), address, fd_);
        opened != OpenResult::Opened)
        return opened;
    lineGone_ = false;
    goneError_ = 0;
    slave_ = -1;
    lateSlave_ = -1;
    received_.clear();
    return OpenResult::Opened;
}

void RtuTcpLink::close() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
}

LinkResult RtuTcpLink::gone(int error) {
    lineGone_ = true;
    goneError_ = error;
    return LinkResult::lineGone(error);
}

bool RtuTcpLink::drain() {
    uint8_t buffer[512];
    for (size_t taken = 0; taken < kMostTakenAtOnce;) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            received_.insert(received_.end(), buffer, buffer + n);
            taken += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n == 0)
            errno = ECONNRESET;
        return false;
    }
    return true;
}

// Whatever arrived since the last reply belongs to no request to come: it is thrown away, after
// the rest of a late reply of the slave about to be asked again.
LinkResult RtuTcpLink::beforeRequest() {
    if (fd_ < 0)
        return LinkResult::notOpen();
    if (lineGone_)
        return LinkResult::lineGone(goneError_);
    if (lateSlave_ >= 0 && lateSlave_ == slave_) {
        lateSlave_ = -1;
        for (int wait; (wait = millisecondsUntil(lateUntil_)) > 0;) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, wait) <= 0)
                break;
            if (!drain())
                return gone(errno);
        }
    }
    if (!drain())
        return gone(errno);
    received_.clear();
    return LinkResult::success();
}

void RtuTcpLink::frame(std::vector<uint8_t>& request) {
    const uint16_t crc = rtuCrc(request.data(), request.size());
    request.push_back(static_cast<uint8_t>(crc & 0xFF));
    request.push_back(static_cast<uint8_t>(crc >> 8));
}

ReplyScan RtuTcpLink::scan(const uint8_t* data, std::size_t size,
                           const ExpectedReply& expected) const {
    return scanReply(data, size, expected);
}

LinkResult RtuTcpLink::timedOut() {
    // The system may have dropped a connection that stopped acknowledging.
    pollfd state{fd_, 0, 0};
    if (::poll(&state, 1, 0) > 0 && (state.revents & (POLLERR | POLLHUP)) != 0)
        return gone(ETIMEDOUT);
    lateSlave_ = slave_;
    lateUntil_ = std::chrono::steady_clock::now() + kLateReplyWindow;
    received_.clear();
    return LinkResult::fromModbusError(ETIMEDOUT);
}

// One deadline holds for the request and its reply: a gateway that dribbles a reply out a byte
// at a time, or floods noise that never holds it, ends the exchange as a timeout all the same.
LinkResult RtuTcpLink::exchange(std::vector<uint8_t> request, ExpectedReply expected) {
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    const auto deadline = std::chrono::steady_clock::now() + kResponseTimeout;
    frame(request);
    for (size_t sent = 0; sent < request.size();) {
        const ssize_t n = ::send(fd_, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            const int wait = millisecondsUntil(deadline);
            pollfd pfd{fd_, POLLOUT, 0};
            if (wait == 0 || ::poll(&pfd, 1, wait) == 0)
                return timedOut();
            continue;
        }
        if (n < 0) {
            const LinkResult failure = LinkResult::fromModbusError(errno);
            return failure.isLineGone() ? gone(failure.error()) : failure;
        }
        sent += static_cast<size_t>(n);
    }

    // A late reply of this slave to another request has another length too, so such a frame is
    // skipped; but when nothing else comes, it was the answer, only not the one asked for.
    bool otherLength = false;
    for (;;) {
        // Skipped bytes are dropped together once the scan stops: dropping each from the front
        // of the buffer alone would make a long run of noise cost its length squared.
        size_t start = 0;
        ReplyScan found;
        for (size_t skips = 1;; ++skips) {
            found = scan(received_.data() + start, received_.size() - start, expected);
            if (found.status != ReplyScan::Status::Skip)
                break;
            otherLength = otherLength || found.otherLength;
            start += found.length;
            if (skips % kSkipsPerClockLook == 0 && millisecondsUntil(deadline) == 0)
                return timedOut();
        }
        const auto from = received_.begin() + static_cast<std::ptrdiff_t>(start);
        switch (found.status) {
            case ReplyScan::Status::Skip:
            case ReplyScan::Status::NeedMore:
                received_.erase(received_.begin(), from);
                break;
            case ReplyScan::Status::Reply:
                reply_.assign(from + static_cast<std::ptrdiff_t>(found.header),
                              from + static_cast<std::ptrdiff_t>(found.length));
                received_.erase(received_.begin(),
                                from + static_cast<std::ptrdiff_t>(found.length));
                return LinkResult::success();
            case ReplyScan::Status::Exception:
                received_.clear();
                return LinkResult::fromModbusError(MODBUS_ENOBASE + found.exceptionCode);
            case ReplyScan::Status::BadCrc:
                received_.clear();
                return LinkResult::fromModbusError(EMBBADCRC);
            case ReplyScan::Status::OtherUnit:
                received_.clear();
                return LinkResult::fromModbusError(EMBBADSLAVE);
            case ReplyScan::Status::Malformed:
                received_.clear();
                return LinkResult::fromModbusError(EMBBADDATA);
        }
        const int wait = millisecondsUntil(deadline);
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = wait > 0 ? ::poll(&pfd, 1, wait) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            const LinkResult late = timedOut();
            return otherLength && late.kind() == LinkResult::Kind::Timeout
                       ? LinkResult::fromModbusError(EMBBADDATA)
                       : late;
        }
        if (!drain())
            return gone(errno);
    }
}

LinkResult RtuTcpLink::setSlave(int address) {
    if (fd_ < 0)
        return LinkResult::notOpen();
    if (address < 0 || address > 247)
        return LinkResult::fromModbusError(EINVAL);
    slave_ = address;
    return LinkResult::success();
}

LinkResult RtuTcpLink::readRegisters(uint8_t function, int first, int count, uint16_t* dest) {
    std::vector<uint8_t> request{static_cast<uint8_t>(slave_), function};
    appendWord(request, first);
    appendWord(request, count);
    ExpectedReply expected;
    expected.slave = static_cast<uint8_t>(slave_);
    expected.function = function;
    expected.length = 5 + 2 * static_cast<size_t>(count);
    const LinkResult result = exchange(std::move(request), expected);
    if (!result)
        return result;
    for (int i = 0; i < count; ++i)
        dest[i] = static_cast<uint16_t>(reply_[3 + 2 * i] << 8 | reply_[4 + 2 * i]);
    return result;
}

LinkResult RtuTcpLink::readInputRegisters(int first, int count, uint16_t* dest) {
    return readRegisters(kReadInput, first, count, dest);
}

LinkResult RtuTcpLink::readHoldingRegisters(int first, int count, uint16_t* dest) {
    return readRegisters(kReadHolding, first, count, dest);
}

LinkResult RtuTcpLink::writeRegister(int address, uint16_t value) {
    std::vector<uint8_t> request{static_cast<uint8_t>(slave_), kWriteSingle};
    appendWord(request, address);
    appendWord(request, value);
    ExpectedReply expected{static_cast<uint8_t>(slave_), kWriteSingle, 8, false};
    return exchange(std::move(request), expected);
}

LinkResult RtuTcpLink::writeRegisters(int first, int count, const uint16_t* values) {
    std::vector<uint8_t> request{static_cast<uint8_t>(slave_), kWriteMultiple};
    appendWord(request, first);
    appendWord(request, count);
    request.push_back(static_cast<uint8_t>(2 * count));
    for (int i = 0; i < count; ++i)
        appendWord(request, values[i]);
    ExpectedReply expected{static_cast<uint8_t>(slave_), kWriteMultiple, 8, false};
    return exchange(std::move(request), expected);
}

LinkResult RtuTcpLink::reportSlaveId(int maxBytes, uint8_t* dest, int& received) {
    received = 0;
    ExpectedReply expected{static_cast<uint8_t>(slave_), kReportSlaveId, 0, true};
    const LinkResult result = exchange({static_cast<uint8_t>(slave_), kReportSlaveId}, expected);
    if (!result)
        return result;
    const int count = reply_[2];
    std::copy_n(reply_.begin() + 3, std::min(count, maxBytes), dest);
    received = count;
    return result;
}

}  // namespace vornex
