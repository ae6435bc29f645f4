#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vornex {

// Where the control panel gets its port list from, asked again on every hot-plug event.
using PortSource = std::function<std::vector<std::string>()>;

// The ports named on the command line (the simulator's line among them) that exist right now,
// followed by the system's serial ports. A named serial port that went away drops out of the
// list, so that its removal is noticed like the unplugging of an adapter; a network port stays.
PortSource namedAndSystemPorts(std::vector<std::string> named);

}  // namespace vornex
