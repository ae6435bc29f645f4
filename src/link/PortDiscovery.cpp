#include "link/PortDiscovery.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <fstream>

namespace vornex {

bool hasUart(const std::string& sysClassTty, const std::string& name) {
    std::ifstream type(sysClassTty + "/" + name + "/type");
    int value = 0;
    // Without the attribute the port is not a built-in UART slot, so nothing says it is empty.
    if (!(type >> value))
        return true;
    return value != 0;
}

std::vector<std::string> systemSerialPorts() {
    std::vector<std::string> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string name = info.portName().toStdString();
        if (name.rfind("ttyS", 0) == 0 && !hasUart("/sys/class/tty", name))
            continue;
        ports.push_back(info.systemLocation().toStdString());
    }
    return ports;
}

std::vector<std::string> mergePorts(const std::vector<std::string>& named,
                                    const std::vector<std::string>& system) {
    std::vector<std::string> ports;
    for (const auto* list : {&named, &system}) {
        for (const std::string& port : *list) {
            if (!port.empty() && std::find(ports.begin(), ports.end(), port) == ports.end()) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

}  // namespace vornex
