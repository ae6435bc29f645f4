#pragma once

#include <optional>
#include <string_view>

namespace vornex::judge {

// What a peak says against an instrument's window; an incomplete event is not judged.
enum class Verdict { Pass, Low, High, None, Incomplete };

// "pass", "low", "high", "none" or "incomplete": the words of the command-line tool and the CSV.
std::string_view verdictName(Verdict verdict);

// An instrument's target and limits in the unit it recorded in.
struct Limits {
    double range = 0.0;   // full scale; 0 when not known
    double target = 0.0;  // 0: the instrument has no target
    double upperPercent = 0.0;
    double lowerPercent = 0.0;
};

// The window a peak must fall in, bounds included.
struct Band {
    double low = 0.0;
    double high = 0.0;
    double target = 0.0;
};

// low = target - lower % of range, high = target + upper % of range; none without a target.
std::optional<Band> bandOf(const Limits& limits);

// Pass when low <= |peak| <= high, low below, high above; None without a band. Compared at the
// instrument's resolution: a peak and a limit that print the same with `decimals` decimals are
// equal, so a single-precision reading on a limit given in decimals is on it, not beside it.
Verdict verdictOf(double peak, const std::optional<Band>& band, int decimals);

// -1, 0 or 1 as `a` is below, at or above `b` with `decimals` decimals (0 to 6).
int compareAt(double a, double b, int decimals);

// The share of the range at which an event starts.
constexpr double kThresholdShare = 0.05;

}  // namespace vornex::judge
