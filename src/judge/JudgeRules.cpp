#include "judge/JudgeRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vornex::judge {

std::string_view verdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Pass:
            return "pass";
        case Verdict::Low:
            return "low";
        case Verdict::High:
            return "high";
        case Verdict::Incomplete:
            return "incomplete";
        case Verdict::None:
            break;
    }
    return "none";
}

std::optional<Band> bandOf(const Limits& limits) {
    if (limits.target == 0.0)
        return std::nullopt;
    return Band{limits.target - limits.lowerPercent * limits.range / 100.0,
                limits.target + limits.upperPercent * limits.range / 100.0, limits.target};
}

int compareAt(double a, double b, int decimals) {
    // The printed texts decide, so that equal means exactly what a reader of both numbers sees.
    char aText[400];
    char bText[400];
    const int d = std::clamp(decimals, 0, 6);
    std::snprintf(aText, sizeof aText, "%.*f", d, a);
    std::snprintf(bText, sizeof bText, "%.*f", d, b);
    if (std::strcmp(aText, bText) == 0)
        return 0;
    return a < b ? -1 : 1;
}

Verdict verdictOf(double peak, const std::optional<Band>& band, int decimals) {
    if (!band)
        return Verdict::None;
    const double magnitude = std::fabs(peak);
    if (compareAt(magnitude, band->low, decimals) < 0)
        return Verdict::Low;
    if (compareAt(magnitude, band->high, decimals) > 0)
        return Verdict::High;
    return Verdict::Pass;
}

}  // namespace vornex::judge
