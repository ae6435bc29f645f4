#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "verify/ToolFolder.h"

namespace vornex::verify {

// What to do with a reading below half its point: count it as it is, drop it and take the
// reading again, or ask the operator each time.
enum class SlipPolicy { Count, Repeat, Ask };

// Everything a run follows, fixed when it starts and kept in its file.
struct RunPlan {
    Tool tool;
    std::string profile;
    std::string standard;
    std::vector<double> points;  // percent of the tool's maximum, ascending
    int readings = 5;
    int preloads = 3;
    double permissible = 4.0;  // percent
    SlipPolicy slips = SlipPolicy::Repeat;
    int decimals = 2;  // of settings and readings, the instrument's
    std::string operatorName;
    std::optional<double> temperature;  // degC
    std::optional<double> humidity;     // percent
    std::string referenceDue;  // the reference instrument's calibration due date, as entered
    // The lab's asset the reference is, with its certificate and relative expanded uncertainty
    // (%, k = 2) as the register held them when the run began; empty when it is no asset.
    std::string referenceAsset, referenceCertificate;
    std::optional<double> referenceUncertainty;
    // Whether the tool is verified as it came in or as it is left after an adjustment.
    std::string condition = kAsFound;
    static constexpr const char* kAsFound = "as-found";
    static constexpr const char* kAsLeft = "as-left";

    // The point's setting as the operator is told it, with the instrument's decimals: every
    // deviation is taken from the setting shown, not from one nobody saw.
    double setting(size_t point) const { return shown(tool.maximum * points[point] / 100.0); }
    // A value as the instrument shows it: rounded to its decimals.
    double shown(double value) const {
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    }
};

}  // namespace vornex::verify
