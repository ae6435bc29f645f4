#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "judge/JudgeRules.h"

namespace vornex::judge {

// Figures over the peak magnitudes of one instrument. A figure that cannot be computed is empty:
// mean, min and max without peaks, sd below two peaks, Cp and Cpk without a band or with sd 0.
struct Statistics {
    size_t n = 0;
    std::optional<double> mean;
    std::optional<double> sd;  // sample standard deviation, n - 1
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> cp;   // (high - low) / (6 sd)
    std::optional<double> cpk;  // min(high - mean, mean - low) / (3 sd)
};

Statistics statisticsOf(const std::vector<double>& magnitudes, const std::optional<Band>& band);

// A figure with `decimals` decimals, or "-" when it is empty.
std::string figureText(const std::optional<double>& figure, int decimals);

}  // namespace vornex::judge
