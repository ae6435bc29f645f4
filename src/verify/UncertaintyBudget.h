#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vornex::verify {

// What a calibration's sub-tests found of a tool: each contribution the span of its series'
// means, in the tool's unit; unset where the sub-test was not made.
struct Contributions {
    std::optional<double> reproducibility, outputDrive, interface, loadingPoint;
};

// The largest of the series' means less the smallest; 0 for fewer than two series.
double seriesSpan(const std::vector<double>& means);

// One target value's inputs: X (the point's setting, or the mean reference reading of an
// indicating tool) and the readings there, both in the tool's unit; the tool's resolution r in
// that unit; the reference's relative expanded uncertainty (percent, k = 2); the relative
// deviation of the point's mean (percent).
struct BudgetInput {
    double target = 0.0;
    std::vector<double> readings;
    double resolution = 0.0;
    Contributions contributions;
    double referenceUncertainty = 0.0;
    double meanDeviation = 0.0;
};

// The relative standard uncertainties of one target value, each in percent of it: the tool's
// resolution and each sub-test's contribution taken as rectangular (half-width / sqrt 3), the
// reference's from its expanded uncertainty at k = 2, and the scatter of the point's readings
// (s / sqrt n); their root sum of squares w, W = 2 w, and W' = |a| + W.
struct UncertaintyBudget {
    double resolution = 0.0, reproducibility = 0.0, outputDrive = 0.0, interface = 0.0,
           loadingPoint = 0.0, reference = 0.0, scatter = 0.0;
    double combined = 0.0;  // w
    double expanded = 0.0;  // W
    double interval = 0.0;  // W'
    static constexpr double kCoverage = 2.0;
};

UncertaintyBudget uncertaintyBudget(const BudgetInput& input);

// The sample standard deviation (n - 1); 0 for fewer than two values.
double sampleDeviation(const std::vector<double>& values);

// The quarter rule of a calibration system: its relative expanded uncertainty, and the relative
// display resolution at the point, each at most a quarter of the tool's permissible deviation.
bool uncertaintyWithinQuarter(double referenceUncertainty, double permissible);
bool resolutionWithinQuarter(double resolution, double torque, double permissible);

}  // namespace vornex::verify
