#pragma once

#include <string>
#include <vector>

#include "NetworkGateway.h"

#include "SimulatedLine.h"

namespace vornex::sim {

// The commands vornex-sim takes on standard input, one a line, applied to a running line.
class SimCommands {
public:
    // relinkPath: where "replug" makes the new pty appear. The gateways close and open with the
    // line.
    SimCommands(SimulatedLine& line, std::string relinkPath,
                std::vector<NetworkGateway*> gateways = {})
        : line_(line), relinkPath_(std::move(relinkPath)), gateways_(std::move(gateways)) {}

    // "ok" (with counters for "stats") or "error: ..."; blank lines give an empty answer.
    std::string execute(const std::string& commandLine);

private:
    SimulatedLine& line_;
    std::string relinkPath_;
    std::vector<NetworkGateway*> gateways_;
};

}  // namespace vornex::sim
