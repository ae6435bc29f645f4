#pragma once

#include <cstdio>
#include <string>

#include "link/LinkResult.h"
#include "link/PortAccess.h"

namespace vornex::cli {

// Why a slave's exchange failed, for stderr: "slave 4 does not answer" when nothing came back,
// else what came instead ("slave 4: the instrument refused the request (exception 2: ...)").
inline std::string slaveFailureText(int slave, const LinkResult& result) {
    const std::string name = "slave " + std::to_string(slave);
    return result.kind() == LinkResult::Kind::Timeout ? name + " does not answer"
                                                      : name + ": " + result.describe();
}

// Told once when an instrument cannot take the fast pass's merged read.
inline std::string fastPassRefusedText(int slave) {
    return "slave " + std::to_string(slave) + ": fast pass refused, four requests";
}

// Follows "cannot open" when the user may not use the port, with the way to mend it.
inline void printPortAccessHint(const std::string& port) {
    if (portAccessDenied(port))
        std::fprintf(stderr,
                     "vornex-cli: permission denied on %s: the user must be in the dialout group "
                     "(sudo usermod -aG dialout $USER, then log in again)\n",
                     port.c_str());
}

// A network port that cannot be reached, as a serial port that cannot be opened is told.
inline void printNetworkRefusal(const char* command, const std::string& port, bool unknownHost) {
    if (unknownHost)
        std::fprintf(stderr, "vornex-cli %s: the host name of %s does not resolve\n", command,
                     port.c_str());
    else
        std::fprintf(stderr, "vornex-cli %s: %s refuses the connection or does not answer\n",
                     command, port.c_str());
}

}  // namespace vornex::cli
