#include "verify/Deviation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "judge/JudgeRules.h"
#include "text/NumberText.h"

namespace vornex::verify {

double deviationPercent(double setting, double reading) {
    return (setting - reading) / reading * 100.0;
}

bool conformsTo(double deviation, double permissible) {
    return judge::compareAt(std::fabs(deviation), permissible, 2) <= 0;
}

PointSummary summarize(double setting, const std::vector<double>& readings) {
    PointSummary s;
    if (readings.empty())
        return s;
    s.mean = std::accumulate(readings.begin(), readings.end(), 0.0) /
             static_cast<double>(readings.size());
    s.meanDeviation = deviationPercent(setting, s.mean);
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    s.spread = *high - *low;
    s.spreadShare = s.spread / setting * 100.0;
    return s;
}

bool isSlip(double setting, double reading) {
    return std::fabs(reading) < std::fabs(setting) / 2.0;
}

std::string signedPercent(double value) {
    const std::string text = formatFixed(value, 2);
    // A hair below zero is no deviation below it.
    if (text == "-0.00")
        return "+0.00";
    return text[0] == '-' ? text : "+" + text;
}

}  // namespace vornex::verify
