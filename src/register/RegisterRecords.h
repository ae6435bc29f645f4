#pragma once

#include <optional>
#include <string>

namespace vornex {

// A torque tool the lab keeps in calibration, by its own identifier.
struct RegisteredTool {
    std::string id, maker, model, serial;
    std::string type = "II";
    std::string toolClass = "A";
    std::optional<double> lowest;  // lowest marked torque, when marked
    double maximum = 0.0;
    std::string unit;
    std::string direction = "clockwise";
    // Due at the last good verification plus this many months, or at this many counted cycles,
    // whichever comes first; either may be left out, not both.
    std::optional<int> intervalMonths = 12;
    std::optional<long> intervalCycles = 5000;
    int leadDays = 30;                  // "due soon" this many days before
    std::string status = "in-service";  // in-service, out-of-service, retired
    std::string lastGood;               // YYYY-MM-DD of its last good verification; empty: never
    std::string description;
};

// A reference instrument: one asset, with its own certificate, uncertainty and due date.
struct RegisteredReference {
    std::string asset, maker, model, serial;
    double range = 0.0;
    std::string unit;
    double resolution = 0.0;
    std::string certificate;
    double uncertainty = 0.0;  // relative expanded uncertainty, %, k = 2
    double lowest = 0.0;       // the lowest torque its certificate covers
    std::string due;           // YYYY-MM-DD
};

// Tool states as the lab writes them.
bool validToolStatus(const std::string& status);

}  // namespace vornex
