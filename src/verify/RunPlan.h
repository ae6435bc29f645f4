#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "verify/Subtests.h"
#include "verify/ToolFolder.h"

namespace vornex::verify {

// What to do with a reading below half its point: count it as it is, drop it and take the
// reading again, or ask the operator each time.
enum class SlipPolicy { Count, Repeat, Ask };

// The way a series of pulls turns the tool. A counter-clockwise pull shows negative torque.
enum class Direction { Clockwise, Counterclockwise };
const char* directionName(Direction direction);

// Everything a run follows, fixed when it starts and kept in its file.
struct RunPlan {
    Tool tool;
    // As the lab's register names the tool when it holds it; empty otherwise.
    std::string toolMaker, toolModel, toolSerial;
    std::string profile;
    std::string standard;
    std::vector<double> points;  // percent of the tool's maximum, ascending
    int readings = 5;
    int preloads = 3;
    double permissible = 4.0;  // percent
    double loadingMin = 0.5;   // seconds from 80 % of the point to the peak, at least
    std::string decisionRule;  // a calibration's, when its profile states one
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
    // clockwise, counterclockwise or both: the series the run takes, clockwise first.
    std::string direction = "clockwise";
    // The tool's scale interval or last digit, in its unit, when given.
    std::optional<double> resolution;
    // A calibration's sub-tests, taken after the readings at `subtestPoint` (percent of the
    // maximum); none when the run is no calibration or the tool's contributions were known.
    std::vector<SubtestPlan> subtests;
    double subtestPoint = 0.0;
    static constexpr const char* kAsFound = "as-found";
    static constexpr const char* kAsLeft = "as-left";

    std::vector<Direction> series() const {
        if (direction == "both")
            return {Direction::Clockwise, Direction::Counterclockwise};
        return {direction == "counterclockwise" ? Direction::Counterclockwise
                                                : Direction::Clockwise};
    }
    // An indicating tool (type I) shows what it was loaded to; a setting tool is set to a point.
    bool indicating() const { return tool.type == "I"; }

    // The point's setting as the operator is told it, with the instrument's decimals: every
    // deviation is taken from the setting shown, not from one nobody saw.
    double setting(size_t point) const { return shown(tool.maximum * points[point] / 100.0); }
    double subtestSetting() const { return shown(tool.maximum * subtestPoint / 100.0); }
    // A value as the instrument shows it: rounded to its decimals.
    double shown(double value) const {
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    }
};

}  // namespace vornex::verify
