#pragma once

#include <string>

namespace vornex::verify {

// The reference instrument a run is bound to: where it answers, what it said it is and how it
// showed torque when the run began. A run goes on only on the same instrument, showing the same.
struct Reference {
    std::string port;
    int address = 0;
    std::string name;            // the user's name for the address; may be empty
    std::string identification;  // hex, as the instrument reported it
    double range = 0.0;          // N.m
    int decimals = 0;            // of the values it shows
    std::string mode;            // measuring-mode name: "T", "P", "1P"
    std::string unit;            // the unit it shows

    // "slave 2 on PORT, mode P, range 500 N.m", as run files name their instrument.
    std::string description() const;
};

// What the instrument `now` shows that the run's reference did not ("address 7 (run: 2), range
// 50 N.m (run: 100 N.m)"), every difference in one line; empty when it is the same instrument.
std::string referenceDifferences(const Reference& run, const Reference& now);

}  // namespace vornex::verify
