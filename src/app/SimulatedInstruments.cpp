#include "app/SimulatedInstruments.h"

#include "sim/SimulatedLine.h"

namespace vornex {

namespace {

sim::SimConfig configFor(const std::vector<int>& addresses) {
    sim::SimConfig config;
    for (const int address : addresses) {
        sim::InstrumentConfig instrument;
        instrument.address = address;
        // Different ranges and seeds so the curves are told apart at a glance.
        instrument.range = 100.0f * static_cast<float>(1 + (address - 1) % 5);
        instrument.seed = static_cast<uint64_t>(address);
        config.instruments.push_back(instrument);
    }
    return config;
}

}  // namespace

SimulatedInstruments::SimulatedInstruments(const std::vector<int>& addresses)
    : line_(std::make_unique<sim::SimulatedLine>(configFor(addresses))) {}

SimulatedInstruments::~SimulatedInstruments() = default;

bool SimulatedInstruments::start(std::string& error) {
    return line_->startPty("", error);
}

std::string SimulatedInstruments::portPath() const {
    return line_->portPath();
}

}  // namespace vornex
