#include "judge/JudgeRules.h"

#include <cmath>

namespace vornex::judge {

std::string_view verdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Pass:
            return "pass";
        case Verdict::Low:
            return "low";
        case Verdict::High:
            return "high";
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

Verdict verdictOf(double peak, const std::optional<Band>& band) {
    if (!band)
        return Verdict::None;
    const double magnitude = std::fabs(peak);
    if (magnitude < band->low)
        return Verdict::Low;
    if (magnitude > band->high)
        return Verdict::High;
    return Verdict::Pass;
}

}  // namespace vornex::judge
