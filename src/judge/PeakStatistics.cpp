#include "judge/PeakStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vornex::judge {

Statistics statisticsOf(const std::vector<double>& magnitudes, const std::optional<Band>& band,
                        int decimals) {
    Statistics s;
    s.n = magnitudes.size();
    if (magnitudes.empty())
        return s;
    double sum = 0.0;
    for (double m : magnitudes)
        sum += m;
    const double mean = sum / static_cast<double>(s.n);
    s.mean = mean;
    const auto [lowest, highest] = std::minmax_element(magnitudes.begin(), magnitudes.end());
    s.min = *lowest;
    s.max = *highest;
    if (s.n < 2)
        return s;
    double squares = 0.0;
    for (double m : magnitudes)
        squares += (m - mean) * (m - mean);
    const double sd = std::sqrt(squares / static_cast<double>(s.n - 1));
    s.sd = sd;
    const double resolution = std::pow(10.0, -std::clamp(decimals, 0, 6));
    if (band && sd >= resolution) {
        s.cp = (band->high - band->low) / (6.0 * sd);
        s.cpk = std::min(band->high - mean, mean - band->low) / (3.0 * sd);
    }
    return s;
}

std::string figureText(const std::optional<double>& figure, int decimals) {
    if (!figure || !std::isfinite(*figure))
        return "-";
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 6), *figure);
    if (text[0] == '-' && std::strspn(text + 1, "0.") == std::strlen(text + 1))
        return text + 1;
    return text;
}

}  // namespace vornex::judge
