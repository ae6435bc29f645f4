#include "link/ModbusLink.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/RegisterMap.h"

namespace vornex {

namespace {

bool isInUseError(int err) {
    return err == EBUSY || err == EWOULDBLOCK || err == EAGAIN;
}

// Checks that nobody holds the port and puts it into a state that libmodbus's own set-up will
// change in more than parity: the pseudo-terminal driver ignores parity and the kernel rejects a
// tcsetattr() whose only change is one it ignores, which would fail a reconnect to the same pty.
OpenResult prepareLine(const std::string& port, int& err) {
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return isInUseError(err) ? OpenResult::InUse : OpenResult::CannotOpen;
    }
    OpenResult result = OpenResult::Opened;
    termios tios{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        err = errno;
        result = isInUseError(err) ? OpenResult::InUse : OpenResult::CannotOpen;
    } else if (::tcgetattr(fd, &tios) != 0) {
        err = errno;
        result = OpenResult::CannotOpen;
    } else {
        cfmakeraw(&tios);
        cfsetispeed(&tios, B9600);
        cfsetospeed(&tios, B9600);
        ::tcsetattr(fd, TCSANOW, &tios);
    }
    ::close(fd);
    return result;
}

// USB serial drivers hold received bytes for up to their latency timer (16 ms on FTDI adapters)
// unless the port asks for low latency; a reply of a few bytes would wait that long on every
// exchange. Returns the flags to put back on close, or -1 when the setting was left alone: the
// port has none (a pty), already has it, or its driver refuses.
int askLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return -1;
    const int before = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0 ? before : -1;
}

void restoreSerialFlags(int fd, int flags) {
    serial_struct serial{};
    if (flags < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags = flags;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

bool lineVanished(int err, int fd) {
    if (err == EIO || err == ENXIO || err == ENODEV || err == EBADF)
        return true;
    pollfd pfd{fd, 0, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

ModbusLink::~ModbusLink() {
    close();
}

OpenResult ModbusLink::open(const std::string& port) {
    close();
    int err = 0;
    const OpenResult prepared = prepareLine(port, err);
    if (prepared != OpenResult::Opened)
        return prepared;

    modbus_t* ctx = modbus_new_rtu(port.c_str(), regmap::kBaud, regmap::kParity, regmap::kDataBits,
                                   regmap::kStopBits);
    if (ctx == nullptr)
        return OpenResult::CannotOpen;
    if (modbus_connect(ctx) != 0) {
        err = errno;
        modbus_free(ctx);
        return isInUseError(err) ? OpenResult::InUse : OpenResult::CannotOpen;
    }
    // The lock makes a second link fail even for root, whom TIOCEXCL does not stop; TIOCEXCL
    // also keeps out programs that do not lock.
    const int fd = modbus_get_socket(ctx);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        err = errno;
        modbus_close(ctx);
        modbus_free(ctx);
        return isInUseError(err) ? OpenResult::InUse : OpenResult::CannotOpen;
    }
    ::ioctl(fd, TIOCEXCL);
    savedSerialFlags_ = askLowLatency(fd);
    adopt(ctx);
    return OpenResult::Opened;
}

void ModbusLink::adopt(modbus_t* ctx) {
    ctx_ = ctx;
    lineGone_ = false;
    goneError_ = 0;
    slave_ = -1;
    lateSlave_ = -1;
}

void ModbusLink::close() {
    if (ctx_ == nullptr)
        return;
    const int fd = modbus_get_socket(ctx_);
    if (fd >= 0) {
        ::ioctl(fd, TIOCNXCL);
        restoreSerialFlags(fd, savedSerialFlags_);
    }
    savedSerialFlags_ = -1;
    closeContext();
}

void ModbusLink::closeContext() {
    if (ctx_ == nullptr)
        return;
    modbus_close(ctx_);
    modbus_free(ctx_);
    ctx_ = nullptr;
}

// Called right after a libmodbus call returned -1, while errno still holds its reason.
LinkResult ModbusLink::failed() {
    const int err = errno;
    if (ctx_ == nullptr)
        return LinkResult::notOpen();
    LinkResult result = LinkResult::fromModbusError(err);
    if (result.isLineGone() || lineVanished(err, modbus_get_socket(ctx_))) {
        result = LinkResult::lineGone(err);
    } else if (result.kind() == LinkResult::Kind::Timeout) {
        lateSlave_ = slave_;
        lateUntil_ = std::chrono::steady_clock::now() + kLateReplyWindow;
    }
    if (result.isLineGone()) {
        lineGone_ = true;
        goneError_ = result.error();
    }
    return result;
}

bool ModbusLink::discardLateReply() {
    const int fd = modbus_get_socket(ctx_);
    const auto end = lateUntil_;
    lateSlave_ = -1;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            return false;
        if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || modbus_flush(ctx_) < 0)
            return true;
    }
}

// libmodbus does not drain the line after an error, so a late or partial reply would be taken
// as the answer to the next request; flushing first keeps every request paired with its reply.
LinkResult ModbusLink::beforeRequest() {
    if (ctx_ == nullptr)
        return LinkResult::notOpen();
    if (lineGone_)
        return LinkResult::lineGone(goneError_);
    if (lateSlave_ >= 0 && lateSlave_ == slave_ && discardLateReply()) {
        lineGone_ = true;
        goneError_ = EIO;
        return LinkResult::lineGone(EIO);
    }
    if (modbus_flush(ctx_) < 0)
        return failed();
    return LinkResult::success();
}

LinkResult ModbusLink::setSlave(int address) {
    if (ctx_ == nullptr)
        return LinkResult::notOpen();
    if (modbus_set_slave(ctx_, address) != 0)
        return failed();
    slave_ = address;
    return LinkResult::success();
}

LinkResult ModbusLink::readInputRegisters(int first, int count, uint16_t* dest) {
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    return modbus_read_input_registers(ctx_, first, count, dest) == count ? LinkResult::success()
                                                                          : failed();
}

LinkResult ModbusLink::readHoldingRegisters(int first, int count, uint16_t* dest) {
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    return modbus_read_registers(ctx_, first, count, dest) == count ? LinkResult::success()
                                                                    : failed();
}

LinkResult ModbusLink::writeRegister(int address, uint16_t value) {
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    return modbus_write_register(ctx_, address, value) == 1 ? LinkResult::success() : failed();
}

LinkResult ModbusLink::writeRegisters(int first, int count, const uint16_t* values) {
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    return modbus_write_registers(ctx_, first, count, values) == count ? LinkResult::success()
                                                                       : failed();
}

LinkResult ModbusLink::reportSlaveId(int maxBytes, uint8_t* dest, int& received) {
    received = 0;
    if (LinkResult ready = beforeRequest(); !ready)
        return ready;
    const int n = modbus_report_slave_id(ctx_, maxBytes, dest);
    if (n < 0)
        return failed();
    received = n;
    return LinkResult::success();
}

}  // namespace vornex
