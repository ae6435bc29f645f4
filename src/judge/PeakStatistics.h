#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "judge/JudgeRules.h"

namespace vornex::judge {

// Figures over the peak magnitudes of one instrument. A figure that cannot be computed is empty:
// mean, min and max without peaks, sd below two peaks, Cp and Cpk without a band or with an sd
// below the instrument's resolution (one unit of its last decimal), which would only magnify
// rounding into an absurd capability.
struct Statistics {
    size_t n = 0;
    std::optional<double> mean;
    std::optional<double> sd;  // sample standard deviation, n - 1
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> cp;   // (high - low) / (6 sd)
    std::optional<double> cpk;  // min(high - mean, mean - low) / (3 sd)
};

Statistics statisticsOf(const std::vector<double>& magnitudes, const std::optional<Band>& band,
                        int decimals);

// A figure with `decimals` decimals (0 to 6), or "-" when it is empty; a figure that rounds to
// zero prints without a sign.
std::string figureText(const std::optional<double>& figure, int decimals);

}  // namespace vornex::judge
