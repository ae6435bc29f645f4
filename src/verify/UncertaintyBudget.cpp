#include "verify/UncertaintyBudget.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vornex::verify {

namespace {

// A span taken as the full width of a rectangular distribution: its standard uncertainty is the
// half-width over sqrt 3, i.e. span / (2 sqrt 3); in percent of the target.
double rectangular(double span, double target) {
    return span / (2.0 * std::sqrt(3.0)) / target * 100.0;
}

}  // namespace

double seriesSpan(const std::vector<double>& means) {
    if (means.size() < 2)
        return 0.0;
    const auto [low, high] = std::minmax_element(means.begin(), means.end());
    return *high - *low;
}

double sampleDeviation(const std::vector<double>& values) {
    if (values.size() < 2)
        return 0.0;
    const double n = static_cast<double>(values.size());
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / n;
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / (n - 1.0));
}

UncertaintyBudget uncertaintyBudget(const BudgetInput& in) {
    UncertaintyBudget b;
    if (in.target <= 0.0)
        return b;
    const Contributions& c = in.contributions;
    b.resolution = rectangular(in.resolution, in.target);
    b.reproducibility = rectangular(c.reproducibility.value_or(0.0), in.target);
    b.outputDrive = rectangular(c.outputDrive.value_or(0.0), in.target);
    b.interface = rectangular(c.interface.value_or(0.0), in.target);
    b.loadingPoint = rectangular(c.loadingPoint.value_or(0.0), in.target);
    b.reference = in.referenceUncertainty / UncertaintyBudget::kCoverage;
    if (!in.readings.empty())
        b.scatter = sampleDeviation(in.readings) /
                    std::sqrt(static_cast<double>(in.readings.size())) / in.target * 100.0;
    double squares = 0.0;
    for (double term : {b.resolution, b.reproducibility, b.outputDrive, b.interface, b.loadingPoint,
                        b.reference, b.scatter})
        squares += term * term;
    b.combined = std::sqrt(squares);
    b.expanded = UncertaintyBudget::kCoverage * b.combined;
    b.interval = std::fabs(in.meanDeviation) + b.expanded;
    return b;
}

bool uncertaintyWithinQuarter(double referenceUncertainty, double permissible) {
    return referenceUncertainty <= permissible / 4.0 + 1e-9;
}

bool resolutionWithinQuarter(double resolution, double torque, double permissible) {
    return torque > 0.0 && resolution / torque * 100.0 <= permissible / 4.0 + 1e-9;
}

}  // namespace vornex::verify
