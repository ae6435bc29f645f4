#include "app/SimulatedInstruments.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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
    : addresses_(addresses), line_(std::make_unique<sim::SimulatedLine>(configFor(addresses))) {}

// The line stops before its folder goes.
SimulatedInstruments::~SimulatedInstruments() {
    line_.reset();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool SimulatedInstruments::start(std::string& error) {
    if (folder_.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vornex-sim-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            error =
                std::string("cannot make a folder for the simulated line: ") + std::strerror(errno);
            return false;
        }
        folder_ = pattern;
    }
    return line_->startPty(folder_ + "/line", error);
}

std::string SimulatedInstruments::portPath() const {
    return folder_.empty() ? std::string() : folder_ + "/line";
}

}  // namespace vornex
