#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vornex {

namespace sim {
class SimulatedLine;
}

// The built-in simulated instrument line of the demo mode: instruments at the given addresses
// answering on a pseudo-terminal, served by a thread of this process. The port is a link in a
// private folder, so a line that is unplugged and plugged in again keeps its path whatever
// pseudo-terminal it gets.
class SimulatedInstruments {
public:
    explicit SimulatedInstruments(const std::vector<int>& addresses = {1, 2, 3});
    ~SimulatedInstruments();

    // False with a message when no pseudo-terminal can be made.
    bool start(std::string& error);
    // The path to open, e.g. /tmp/vornex-sim-Ab12Cd/line; empty before start.
    std::string portPath() const;
    sim::SimulatedLine& line() { return *line_; }
    const std::vector<int>& addresses() const { return addresses_; }

private:
    std::vector<int> addresses_;
    std::string folder_;
    std::unique_ptr<sim::SimulatedLine> line_;
};

}  // namespace vornex
