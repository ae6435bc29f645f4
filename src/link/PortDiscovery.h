#pragma once

#include <string>
#include <vector>

namespace vornex {

// Serial ports of this machine as system paths (/dev/ttyUSB0, /dev/ttyACM0, /dev/ttyS0, ...).
// Built-in serial ports the kernel reserves without a UART behind them are left out.
std::vector<std::string> systemSerialPorts();

// The port list's content: the ports named by the user (and the simulator's line) first, in their
// order, then the system's ports; a port named twice appears once.
std::vector<std::string> mergePorts(const std::vector<std::string>& named,
                                    const std::vector<std::string>& system);

// Whether a built-in serial port has a UART: the kernel reports type 0 (unknown) for the
// placeholders it creates for ports that are not there. `sysClassTty` is normally /sys/class/tty.
bool hasUart(const std::string& sysClassTty, const std::string& name);

inline std::vector<std::string> discoverPorts(const std::vector<std::string>& named) {
    return mergePorts(named, systemSerialPorts());
}

}  // namespace vornex
