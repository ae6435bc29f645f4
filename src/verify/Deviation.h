#pragma once

#include <string>
#include <vector>

namespace vornex::verify {

// Relative deviation of a setting tool at one reading: (setting - reading) / reading x 100 %.
double deviationPercent(double setting, double reading);

// A deviation conforms when its magnitude is at most the permissible one, both taken with two
// decimals of percent: a deviation printed -4.00 conforms to a permissible 4.
bool conformsTo(double deviation, double permissible);

// One test point's readings summed up.
struct PointSummary {
    double mean = 0.0;
    double meanDeviation = 0.0;  // of the mean from the setting, in percent
    double spread = 0.0;         // largest minus smallest reading
    double spreadShare = 0.0;    // the spread in percent of the setting
};

// Nothing is summed up from no readings: all fields stay 0.
PointSummary summarize(double setting, const std::vector<double>& readings);

// A reading below half the point's setting: a slip or a false start, not a pull to the setting.
bool isSlip(double setting, double reading);

// A deviation as the run shows it: sign and two decimals ("+0.30", "-4.00").
std::string signedPercent(double value);

}  // namespace vornex::verify
