#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SimulatedLine.h"

namespace vornex::sim {

// Command line of vornex-sim.
struct SimOptions {
    std::string linkPath;
    std::string devicePath;
    std::string logPath;
    std::vector<int> slaves{1};
    int records = 20;
    bool baudEmulate = false;
    float range = 500.0f;
    int decimals = -1;
    std::optional<float> fixedValue;
    int keypadEveryMs = 0;
    double holdSeconds = 2.0;
    double peakThresholdPercent = 5.0;
    uint64_t seed = 1;
    double dropFraction = 0;
    double badCrcFraction = 0;
    int delayMs = 0;
    // Gateways in front of the line; -1 for none, 0 for any free port.
    int tcpPort = -1;
    int rtuTcpPort = -1;
    std::vector<int> silent;
    std::vector<int> noMerge;
    bool help = false;
    bool version = false;

    SimConfig toConfig() const;
};

// Nullopt with a message in error for a command line that does not parse.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);

std::string simUsage();

}  // namespace vornex::sim
