#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vornex::sim {

// The simulator's end of a serial line: the master side of a new pseudo-terminal, whose slave
// side the program opens as its serial port, or a real serial device. Closing it (destruction)
// is what pulling the cable is: the pty disappears, and so does the link made to it.
class SerialEndpoint {
public:
    // A new pty, raw, 19200 8E1. With a link path, that path becomes a symlink to the pty's slave
    // (replacing an older symlink there, never another kind of file). Null with a message in
    // error when it fails.
    static std::unique_ptr<SerialEndpoint> openPty(const std::string& linkPath, std::string& error);
    // A real serial device, set raw to 19200 8E1.
    static std::unique_ptr<SerialEndpoint> openDevice(const std::string& path, std::string& error);

    SerialEndpoint(const SerialEndpoint&) = delete;
    SerialEndpoint& operator=(const SerialEndpoint&) = delete;
    ~SerialEndpoint();

    // Non-blocking descriptor to read requests from and write replies to.
    int fd() const { return fd_; }
    // What a client opens: the link path if there is one, else the pty slave or the device.
    const std::string& portPath() const { return linkPath_.empty() ? devicePath_ : linkPath_; }
    // Writes to the client. What does not fit is lost, as on a wire nobody listens to: on a full
    // pty the rest of the data and whatever the client has left unread are dropped, on a device
    // the write waits a second for the driver's buffer. False only when the line has failed
    // (errno tells why).
    bool write(const uint8_t* data, std::size_t size);

    // Drops the bytes sent to the client that it has not read.
    void discardUnread();

    // Readable when a client opened or closed the pty, or -1 for a device. Whatever a client left
    // unread must not reach the next one: on a real port it dies with the closing, on a pty held
    // open by the simulator it would wait.
    int clientWatchFd() const { return watchFd_; }
    // Takes the pending open and close notices, discards what is unread and returns how many
    // notices there were.
    int onClientOpenedOrClosed();

    // The pty slave (/dev/pts/N) or the device.
    const std::string& devicePath() const { return devicePath_; }

private:
    SerialEndpoint() = default;

    int fd_ = -1;
    // Held open so that the master side sees no hang-up while no client has the port open.
    int ptySlaveFd_ = -1;
    int watchFd_ = -1;
    std::string devicePath_;
    std::string linkPath_;
};

}  // namespace vornex::sim
