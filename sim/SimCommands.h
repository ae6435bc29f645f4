#pragma once

#include <string>

#include "SimulatedLine.h"

namespace vornex::sim {

// The commands vornex-sim takes on standard input, one a line, applied to a running line.
class SimCommands {
public:
    // relinkPath: where "replug" makes the new pty appear.
    SimCommands(SimulatedLine& line, std::string relinkPath)
        : line_(line), relinkPath_(std::move(relinkPath)) {}

    // "ok" (with counters for "stats") or "error: ..."; blank lines give an empty answer.
    std::string execute(const std::string& commandLine);

private:
    SimulatedLine& line_;
    std::string relinkPath_;
};

}  // namespace vornex::sim
